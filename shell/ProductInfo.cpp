#include "ProductInfo.h"

#include "ProductInfoBuild.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace ProductInfo {

namespace {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(ProductInfo)
};

} // namespace

QString applicationTitle()
{
    return Tr::tr("Tavrin优化切割PNX");
}

QString mainCaption()
{
    return Tr::tr("Tavrin优化切割");
}

QString fileVersion()
{
    return QString::fromUtf8(PNX_FILE_VERSION);
}

QString companyName()
{
    return QString::fromUtf8(PNX_COMPANY_NAME);
}

QString desktopFileName()
{
    return QString::fromUtf8(PNX_APP_ID);
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
    return Tr::tr("版权所有 © Quarvel Software Co.,Ltd. 保留所有权利");
}

} // namespace ProductInfo
