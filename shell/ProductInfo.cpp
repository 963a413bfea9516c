#include "ProductInfo.h"

#include "ProductInfoBuild.h"

using namespace Qt::StringLiterals;

namespace ProductInfo {

QString applicationTitle()
{
    return u"Tavrin优化切割PNX"_s;
}

QString mainCaption()
{
    return u"Tavrin优化切割"_s;
}

QString fileVersion()
{
    return QString::fromUtf8(PNX_FILE_VERSION);
}

QString companyName()
{
    return QString::fromUtf8(PNX_COMPANY_NAME);
}

// The maker's addresses live under the reserved ".example" domain until a real one is decided,
// so the program never sends anybody to a stranger's site or mailbox.
QString webAddress()
{
    return u"https://www.quarvel.example/pnx/"_s;
}

QString supportMailAddress()
{
    return u"mailto:support@quarvel.example?subject=PNX"_s;
}

QString rightsNotice()
{
    return u"版权所有 © Quarvel Software Co.,Ltd. 保留所有权利"_s;
}

} // namespace ProductInfo
