#include "RowSet.h"

#include "DBTransaction.h"
#include "DM.h"
#include "Schema.h"

#include <QCoreApplication>
#include <QHash>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(TRowSet)
};

} // namespace

namespace {

// Name of the hidden row-key column the row set asks the store for.
const QString KeyColumn = u"__pnx_rowkey"_s;

QString quoteId(const QString &name)
{
    QString q = name;
    q.replace(u'"', u"\"\""_s);
    return u'"' + q + u'"';
}

// "select Top n <rest>" → ("select <rest>", " LIMIT n"). The one place where the Jet dialect of
// the system's statements is translated for the store.
struct TSplitStatement
{
    QString body;
    QString limit;
};

TSplitStatement splitTop(const QString &statement)
{
    static const QRegularExpression topRe(
        u"^\\s*select\\s+top\\s+(\\d+)\\s+"_s, QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = topRe.match(statement);
    if (!m.hasMatch())
        return { statement, QString() };
    QString rest = statement.mid(m.capturedEnd());
    while (!rest.isEmpty() && (rest.back().isSpace() || rest.back() == u';'))
        rest.chop(1);
    return { u"select "_s + rest, u" LIMIT "_s + m.captured(1) };
}

// The first table named after FROM, without quotes or brackets.
QString tableOf(const QString &statement)
{
    static const QRegularExpression fromRe(
        u"\\bfrom\\s+(\"(?:[^\"]|\"\")+\"|\\[[^\\]]+\\]|`[^`]+`|[^\\s;(),]+)"_s,
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = fromRe.match(statement);
    if (!m.hasMatch())
        return QString();
    QString t = m.captured(1);
    if (t.size() >= 2 && (t.front() == u'"' || t.front() == u'[' || t.front() == u'`')) {
        t = t.mid(1, t.size() - 2);
        t.replace(u"\"\""_s, u"\""_s);
    }
    return t;
}

QVariant normalized(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Bool:
        return qlonglong(v.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return v.toLongLong();
    case QMetaType::ULongLong:
    case QMetaType::ULong:
        return v.toULongLong() > quint64(std::numeric_limits<qint64>::max())
            ? QVariant(v.toDouble())
            : QVariant(v.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return v.toDouble();
    case QMetaType::QString:
        return v.toString();
    case QMetaType::QByteArray:
        return v.toByteArray();
    default:
        return v.toString();
    }
}

bool isInteger(const QVariant &v)
{
    return v.typeId() == QMetaType::LongLong;
}
bool isDouble(const QVariant &v)
{
    return v.typeId() == QMetaType::Double;
}

// Strict equality of stored forms: null only equals null, and the kinds must match.
bool sameValue(const QVariant &a, const QVariant &b)
{
    if (!a.isValid() || !b.isValid())
        return a.isValid() == b.isValid();
    if (a.typeId() != b.typeId())
        return false;
    return a == b;
}

bool sameValues(const QList<QVariant> &a, const QList<QVariant> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (!sameValue(a[i], b[i]))
            return false;
    return true;
}

QString floatText(double d)
{
    return QString::number(d, 'g', 15);
}

QString textOf(TFieldType type, const QVariant &v)
{
    if (!v.isValid())
        return QString();
    switch (type) {
    case ftCurrency:
        if (isInteger(v))
            return TCurrency::fromUnits(v.toLongLong()).toString();
        if (isDouble(v)) {
            if (auto c = TCurrency::fromDouble(v.toDouble()))
                return c->toString();
        }
        break;
    default:
        break;
    }
    if (isDouble(v))
        return floatText(v.toDouble());
    if (isInteger(v))
        return QString::number(v.toLongLong());
    if (v.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(v.toByteArray());
    return v.toString();
}

QString typeWord(TFieldType type)
{
    switch (type) {
    case ftAutoInc:
    case ftInteger:
        return Tr::tr("整数");
    case ftFloat:
        return Tr::tr("数值");
    case ftCurrency:
        return Tr::tr("金额（最多四位小数）");
    case ftDateTime:
        return Tr::tr("日期时间（yyyy-MM-dd HH:mm:ss）");
    default:
        return Tr::tr("文本");
    }
}

[[noreturn]] void conversionFailed(const QString &fieldName, TFieldType type, const QString &text)
{
    throw TConvertError(
        Tr::tr("“%1”不是有效的%2（字段“%3”）").arg(text, typeWord(type), fieldName));
}

std::optional<QDateTime> parseDateTime(const QString &text)
{
    static const QString formats[] = {
        u"yyyy-MM-dd HH:mm:ss"_s,
        u"yyyy-MM-ddTHH:mm:ss"_s,
        u"yyyy-MM-dd HH:mm"_s,
        u"yyyy-MM-dd"_s,
        u"yyyy/M/d H:mm:ss"_s,
        u"yyyy/M/d H:mm"_s,
        u"yyyy/M/d"_s,
    };
    const QString t = text.trimmed();
    for (const QString &f : formats) {
        const QDateTime dt = QDateTime::fromString(t, f);
        if (dt.isValid())
            return dt;
    }
    return std::nullopt;
}

std::optional<qint64> parseInteger(const QString &text)
{
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return v;
}

std::optional<double> parseFloat(const QString &text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

bool fitsInt32(qint64 v)
{
    return v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max();
}

} // namespace

// ======================================================================= TField

QString TField::name() const
{
    return FRowSet->fieldName(FIndex);
}
QString TField::displayLabel() const
{
    return FRowSet->displayLabel(FIndex);
}
TFieldType TField::type() const
{
    return FRowSet->fieldType(FIndex);
}
QVariant TField::raw() const
{
    return FRowSet->readField(FIndex);
}
bool TField::isNull() const
{
    return !raw().isValid();
}
QVariant TField::value() const
{
    return raw();
}
void TField::store(const QVariant &stored)
{
    FRowSet->writeField(FIndex, stored);
}

QString TField::asString() const
{
    return textOf(type(), raw());
}

qint64 TField::asLargeInt() const
{
    const QVariant v = raw();
    if (!v.isValid())
        return 0;
    if (isInteger(v)) {
        // A currency column holds ten-thousandths; whole units truncate toward zero.
        return type() == ftCurrency ? v.toLongLong() / TCurrency::Scale : v.toLongLong();
    }
    if (isDouble(v)) {
        const double d = std::trunc(v.toDouble());
        if (!std::isfinite(d) || !(std::fabs(d) < 9223372036854775808.0))
            conversionFailed(displayLabel(), ftInteger, floatText(v.toDouble()));
        return qint64(d);
    }
    const QString text = textOf(type(), v);
    if (auto i = parseInteger(text))
        return *i;
    conversionFailed(displayLabel(), ftInteger, text);
}

int TField::asInteger() const
{
    const qint64 v = asLargeInt();
    if (!fitsInt32(v))
        throw TConvertError(Tr::tr("字段“%1”的值 %2 超出整数范围").arg(displayLabel()).arg(v));
    return int(v);
}

double TField::asFloat() const
{
    const QVariant v = raw();
    if (!v.isValid())
        return 0.0;
    if (isInteger(v))
        return type() == ftCurrency ? TCurrency::fromUnits(v.toLongLong()).toDouble()
                                    : double(v.toLongLong());
    if (isDouble(v))
        return v.toDouble();
    const QString text = textOf(type(), v);
    if (auto d = parseFloat(text))
        return *d;
    conversionFailed(displayLabel(), ftFloat, text);
}

TCurrency TField::asCurrency() const
{
    const QVariant v = raw();
    if (!v.isValid())
        return TCurrency();
    if (isInteger(v)) {
        if (type() == ftCurrency)
            return TCurrency::fromUnits(v.toLongLong());
        if (auto c = TCurrency::parse(QString::number(v.toLongLong())))
            return *c;
        conversionFailed(displayLabel(), ftCurrency, QString::number(v.toLongLong()));
    }
    if (isDouble(v)) {
        if (auto c = TCurrency::fromDouble(v.toDouble()))
            return *c;
        conversionFailed(displayLabel(), ftCurrency, floatText(v.toDouble()));
    }
    const QString text = textOf(type(), v);
    if (auto c = TCurrency::parse(text))
        return *c;
    conversionFailed(displayLabel(), ftCurrency, text);
}

QDateTime TField::asDateTime() const
{
    const QVariant v = raw();
    if (!v.isValid())
        return QDateTime();
    const QString text = textOf(type(), v);
    if (auto dt = parseDateTime(text))
        return *dt;
    conversionFailed(displayLabel(), ftDateTime, text);
}

void TField::setAsString(const QString &text)
{
    const TFieldType t = type();
    if (t == ftString || t == ftUnknown) {
        store(text);
        return;
    }
    if (text.trimmed().isEmpty()) {
        store(QVariant());
        return;
    }
    switch (t) {
    case ftAutoInc:
    case ftInteger: {
        const auto i = parseInteger(text);
        if (!i)
            conversionFailed(displayLabel(), t, text);
        if (!fitsInt32(*i))
            throw TConvertError(Tr::tr("“%1”超出整数范围（字段“%2”）").arg(text, displayLabel()));
        store(qlonglong(*i));
        return;
    }
    case ftFloat:
        if (auto d = parseFloat(text)) {
            store(*d);
            return;
        }
        break;
    case ftCurrency:
        if (auto c = TCurrency::parse(text)) {
            store(qlonglong(c->units()));
            return;
        }
        break;
    case ftDateTime:
        if (auto dt = parseDateTime(text)) {
            setAsDateTime(*dt);
            return;
        }
        break;
    default:
        break;
    }
    conversionFailed(displayLabel(), t, text);
}

void TField::setAsInteger(qint64 value)
{
    switch (type()) {
    case ftAutoInc:
    case ftInteger:
        if (!fitsInt32(value))
            throw TConvertError(
                Tr::tr("%1 超出整数范围（字段“%2”）").arg(value).arg(displayLabel()));
        store(qlonglong(value));
        return;
    case ftFloat:
        store(double(value));
        return;
    case ftCurrency: {
        qint64 units = 0;
        if (__builtin_mul_overflow(value, TCurrency::Scale, &units))
            throw TConvertError(
                Tr::tr("%1 超出金额范围（字段“%2”）").arg(value).arg(displayLabel()));
        store(qlonglong(units));
        return;
    }
    case ftDateTime:
        conversionFailed(displayLabel(), ftDateTime, QString::number(value));
    default:
        store(QString::number(value));
        return;
    }
}

void TField::setAsFloat(double value)
{
    if (!std::isfinite(value))
        conversionFailed(displayLabel(), type(), floatText(value));
    switch (type()) {
    case ftAutoInc:
    case ftInteger: {
        const double d = std::trunc(value);
        if (!(d >= std::numeric_limits<qint32>::min() && d <= std::numeric_limits<qint32>::max()))
            throw TConvertError(
                Tr::tr("%1 超出整数范围（字段“%2”）").arg(floatText(value), displayLabel()));
        store(qlonglong(d));
        return;
    }
    case ftFloat:
        store(value);
        return;
    case ftCurrency:
        if (auto c = TCurrency::fromDouble(value)) {
            store(qlonglong(c->units()));
            return;
        }
        throw TConvertError(
            Tr::tr("%1 超出金额范围（字段“%2”）").arg(floatText(value), displayLabel()));
    case ftDateTime:
        conversionFailed(displayLabel(), ftDateTime, floatText(value));
    default:
        store(floatText(value));
        return;
    }
}

void TField::setAsCurrency(TCurrency value)
{
    switch (type()) {
    case ftCurrency:
        store(qlonglong(value.units()));
        return;
    case ftFloat:
        store(value.toDouble());
        return;
    case ftAutoInc:
    case ftInteger:
        setAsInteger(value.units() / TCurrency::Scale);
        return;
    case ftDateTime:
        conversionFailed(displayLabel(), ftDateTime, value.toString());
    default:
        store(value.toString());
        return;
    }
}

void TField::setAsDateTime(const QDateTime &value)
{
    if (!value.isValid()) {
        store(QVariant());
        return;
    }
    const int year = value.date().year();
    if (year < 1 || year > 9999)
        conversionFailed(displayLabel(), ftDateTime, value.toString(Qt::ISODate));
    switch (type()) {
    case ftDateTime:
    case ftString:
    case ftUnknown:
        store(value.toString(DateTimeFormat()));
        return;
    default:
        conversionFailed(displayLabel(), type(), value.toString(DateTimeFormat()));
    }
}

void TField::setValue(const QVariant &value)
{
    if (!value.isValid() || value.isNull()) {
        clear();
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        setAsInteger(value.toLongLong());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        setAsFloat(value.toDouble());
        return;
    case QMetaType::QDateTime:
        setAsDateTime(value.toDateTime());
        return;
    case QMetaType::QDate:
        setAsDateTime(value.toDate().startOfDay());
        return;
    default:
        setAsString(value.toString());
        return;
    }
}

void TField::clear()
{
    store(QVariant());
}

// ======================================================================= TRowSet

TRowSet::TRowSet(QObject *parent)
    : QAbstractTableModel(parent)
{ }

TRowSet::TRowSet(const QString &commandText, QObject *parent)
    : QAbstractTableModel(parent)
    , FCommandText(commandText)
{ }

TRowSet::~TRowSet() = default;

void TRowSet::setConnection(const QSqlDatabase &db)
{
    FConnectionName = db.isValid() ? db.connectionName() : QString();
}

QSqlDatabase TRowSet::connection() const
{
    if (!FConnectionName.isEmpty()) {
        QSqlDatabase db = QSqlDatabase::database(FConnectionName, false);
        if (!db.isOpen())
            throw TDBError(Tr::tr("数据库没有打开，不能访问数据表"));
        return db;
    }
    // The file is opened again here when the connection failed or became suspect, so that
    // reading or saving after a failure that has gone away works without a restart.
    try {
        if (!FrmDM)
            throw TDBError(QString());
        FrmDM->ensureConnected();
    } catch (const TDBError &) {
        QString text = Tr::tr("数据库没有打开，不能访问数据表");
        if (FrmDM && !FrmDM->lastError().isEmpty())
            text += u"（"_s + FrmDM->lastError() + u"）"_s;
        throw TDBError(text);
    }
    return FrmDM->ADOCon();
}

void TRowSet::setCommandText(const QString &text)
{
    if (isOpen())
        throw TDBError(Tr::tr("数据集已打开，不能更改查询语句；请先关闭"));
    FCommandText = text;
}

QString TRowSet::toSqlite(const QString &statement)
{
    const TSplitStatement s = splitTop(statement);
    return s.body + s.limit;
}

void TRowSet::open(const QString &commandText)
{
    close();
    setCommandText(commandText);
    open();
}

void TRowSet::reopen()
{
    close();
    open();
}

void TRowSet::open()
{
    if (isOpen())
        return;
    if (FCommandText.trimmed().isEmpty())
        throw TDBError(Tr::tr("数据集没有查询语句，不能打开"));
    const QSqlDatabase db = connection();
    const TSplitStatement split = splitTop(FCommandText);
    const QString table = tableOf(split.body);
    const QString what
        = table.isEmpty() ? Tr::tr("打开查询失败") : Tr::tr("打开数据表“%1”失败").arg(table);

    QSqlQuery q(db);
    q.setForwardOnly(true);
    bool keyed = false;
    static const QRegularExpression selectRe(
        u"^\\s*select\\s+(?!distinct\\b|all\\b)"_s, QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression orderRe(
        u"\\border\\s+by\\b"_s, QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch sel = selectRe.match(split.body);
    if (!table.isEmpty() && sel.hasMatch()) {
        // Ask for the row key beside the columns, and keep rows in the order they were added
        // when the statement names no order.
        QString keyedSql
            = u"select rowid AS "_s + KeyColumn + u", "_s + split.body.mid(sel.capturedEnd());
        if (!orderRe.match(split.body).hasMatch())
            keyedSql += u" ORDER BY rowid"_s;
        keyedSql += split.limit;
        keyed = StoreExec(db, q, keyedSql);
        // Locked by another program: asking again without the row key would only wait again.
        if (!keyed && IsLockError(q.lastError()))
            throw StoreFailure(db, what, q.lastError());
    }
    if (!keyed && !StoreExec(db, q, split.body + split.limit))
        throw StoreFailure(db, what, q.lastError());

    // Column types from the table's declarations.
    QHash<QString, TFieldType> declared;
    if (!table.isEmpty()) {
        QSqlQuery info(db);
        if (info.exec(u"PRAGMA table_info(%1)"_s.arg(quoteId(table)))) {
            QList<QPair<QString, QString>> cols;
            int pkCount = 0;
            QString pkName;
            while (info.next()) {
                cols << qMakePair(info.value(1).toString(), info.value(2).toString());
                if (info.value(5).toInt() > 0) {
                    ++pkCount;
                    pkName = info.value(1).toString();
                }
            }
            for (const auto &c : cols) {
                const bool rowidAlias = pkCount == 1 && c.first == pkName;
                declared.insert(
                    c.first.toCaseFolded(), DBSchema::TypeFromDeclared(c.second, rowidAlias));
            }
        }
    }

    const QSqlRecord rec = q.record();
    const int offset = keyed ? 1 : 0;
    QList<TFieldDef> fields;
    for (int i = offset; i < rec.count(); ++i) {
        TFieldDef f;
        f.name = rec.fieldName(i);
        const auto it = declared.constFind(f.name.toCaseFolded());
        f.inTable = it != declared.constEnd();
        f.type = f.inTable ? *it : ftUnknown;
        if (f.type == ftUnknown)
            f.type = ftString;
        fields << f;
    }

    QList<TRow> rows;
    while (q.next()) {
        TRow r;
        r.cur.reserve(fields.size());
        for (int i = 0; i < fields.size(); ++i)
            r.cur << (q.isNull(i + offset) ? QVariant() : normalized(q.value(i + offset)));
        r.orig = r.cur;
        if (keyed) {
            r.key = q.value(0).toLongLong();
            r.hasKey = true;
        }
        r.uid = FNextUid++;
        rows << std::move(r);
    }
    if (q.lastError().isValid())
        throw StoreFailure(db, what, q.lastError());
    q.finish();

    if (FDisableCount == 0)
        beginResetModel();
    FTable = table;
    FReadOnly = !keyed;
    FFields = fields;
    FRows = rows;
    FDeleted.clear();
    FEditBackup.clear();
    FCurrent = FRows.isEmpty() ? -1 : 0;
    FBof = true;
    FEof = FRows.isEmpty();
    FState = dsBrowse;
    if (FDisableCount == 0)
        endResetModel();
    else
        FChangedWhileDisabled = true;
    emit stateChanged(FState);
    notifyCurrent();
    if (FAfterOpen)
        FAfterOpen(*this);
    if (isOpen())
        fireAfterScroll();
}

void TRowSet::close()
{
    if (!isOpen())
        return;
    if (FDisableCount == 0)
        beginResetModel();
    FRows.clear();
    FDeleted.clear();
    FFields.clear();
    FEditBackup.clear();
    FCurrent = -1;
    FBof = FEof = true;
    FState = dsInactive;
    FReadOnly = false;
    if (FDisableCount == 0)
        endResetModel();
    else
        FChangedWhileDisabled = true;
    emit stateChanged(FState);
    notifyCurrent();
}

void TRowSet::checkOpen() const
{
    if (!isOpen())
        throw TDBError(Tr::tr("数据集没有打开，不能执行此操作"));
}

void TRowSet::checkCanModify() const
{
    checkOpen();
    if (FReadOnly)
        throw TDBError(Tr::tr("此查询的结果不能修改"));
}

void TRowSet::checkBrowseMode()
{
    if (FState == dsEdit || FState == dsInsert)
        post();
}

void TRowSet::setState(TDataSetState state)
{
    if (FState == state)
        return;
    FState = state;
    emit stateChanged(state);
}

void TRowSet::fireBeforeScroll()
{
    if (!FScrollEventsSuppressed && FBeforeScroll)
        FBeforeScroll(*this);
}

void TRowSet::fireAfterScroll()
{
    if (!FScrollEventsSuppressed && FAfterScroll)
        FAfterScroll(*this);
}

void TRowSet::notifyCurrent()
{
    if (FDisableCount == 0)
        emit currentRowChanged(recNo());
}

void TRowSet::rowDataChanged(int first, int last)
{
    if (first > last || FFields.isEmpty())
        return;
    if (FDisableCount > 0) {
        FChangedWhileDisabled = true;
        return;
    }
    emit dataChanged(index(first, 0), index(last, int(FFields.size()) - 1));
}

void TRowSet::moveTo(int index, bool bof, bool eof)
{
    if (index == FCurrent) {
        FBof = bof;
        FEof = eof;
        return;
    }
    fireBeforeScroll();
    FCurrent = index;
    FBof = bof;
    FEof = eof;
    notifyCurrent();
    fireAfterScroll();
}

void TRowSet::setRecNo(int recNo)
{
    checkOpen();
    if (recNo < 1 || recNo > recordCount())
        throw TDBError(Tr::tr("记录号 %1 超出范围（共 %2 条记录）").arg(recNo).arg(recordCount()));
    if (recNo - 1 == FCurrent)
        return;
    checkBrowseMode();
    moveTo(recNo - 1, false, false);
}

void TRowSet::first()
{
    checkOpen();
    checkBrowseMode();
    if (FRows.isEmpty()) {
        FBof = FEof = true;
        return;
    }
    moveTo(0, true, false);
}

void TRowSet::last()
{
    checkOpen();
    checkBrowseMode();
    if (FRows.isEmpty()) {
        FBof = FEof = true;
        return;
    }
    moveTo(int(FRows.size()) - 1, false, true);
}

void TRowSet::next()
{
    checkOpen();
    checkBrowseMode();
    if (FRows.isEmpty() || FCurrent >= int(FRows.size()) - 1) {
        FEof = true;
        return;
    }
    moveTo(FCurrent + 1, false, false);
}

void TRowSet::prior()
{
    checkOpen();
    checkBrowseMode();
    if (FCurrent <= 0) {
        FBof = true;
        return;
    }
    moveTo(FCurrent - 1, false, false);
}

void TRowSet::addRow(bool atEnd)
{
    checkCanModify();
    checkBrowseMode();
    fireBeforeScroll();
    TRow r;
    r.cur = QList<QVariant>(FFields.size());
    r.orig = r.cur;
    r.inserted = true;
    r.uid = FNextUid++;
    FInsertReturnUid = FCurrent >= 0 ? FRows[FCurrent].uid : 0;
    const int pos = atEnd || FCurrent < 0 ? int(FRows.size()) : FCurrent;
    if (FDisableCount == 0)
        beginInsertRows(QModelIndex(), pos, pos);
    FRows.insert(pos, r);
    if (FDisableCount == 0)
        endInsertRows();
    else
        FChangedWhileDisabled = true;
    FCurrent = pos;
    FBof = FEof = false;
    setState(dsInsert);
    notifyCurrent();
    if (FAfterInsert)
        FAfterInsert(*this);
    if (isOpen())
        fireAfterScroll();
}

void TRowSet::append()
{
    addRow(true);
}
void TRowSet::insert()
{
    addRow(false);
}

void TRowSet::edit()
{
    checkCanModify();
    if (FState == dsEdit || FState == dsInsert)
        return;
    if (FRows.isEmpty()) {
        append();
        return;
    }
    FEditBackup = FRows[FCurrent].cur;
    setState(dsEdit);
}

void TRowSet::post()
{
    checkOpen();
    if (FState == dsEdit) {
        TRow &r = FRows[FCurrent];
        r.modified = !r.inserted && !sameValues(r.cur, r.orig);
        FEditBackup.clear();
        setState(dsBrowse);
    } else if (FState == dsInsert) {
        setState(dsBrowse);
    }
}

void TRowSet::cancel()
{
    checkOpen();
    if (FState == dsEdit) {
        FRows[FCurrent].cur = FEditBackup;
        FEditBackup.clear();
        setState(dsBrowse);
        rowDataChanged(FCurrent, FCurrent);
    } else if (FState == dsInsert) {
        const int pos = FCurrent;
        if (FDisableCount == 0)
            beginRemoveRows(QModelIndex(), pos, pos);
        FRows.removeAt(pos);
        if (FDisableCount == 0)
            endRemoveRows();
        else
            FChangedWhileDisabled = true;
        int back = rowIndexOfUid(FInsertReturnUid);
        if (back < 0)
            back = qMin(pos, int(FRows.size()) - 1);
        FCurrent = back;
        FBof = FEof = FRows.isEmpty();
        setState(dsBrowse);
        notifyCurrent();
        fireAfterScroll();
    }
}

void TRowSet::deleteRecord()
{
    checkCanModify();
    if (FState == dsInsert) {
        cancel();
        return;
    }
    if (FRows.isEmpty())
        throw TDBError(Tr::tr("没有可删除的记录：数据集是空的"));
    fireBeforeScroll();
    if (FState == dsEdit) {
        FRows[FCurrent].cur = FEditBackup;
        FEditBackup.clear();
        setState(dsBrowse);
    }
    const int pos = FCurrent;
    if (FDisableCount == 0)
        beginRemoveRows(QModelIndex(), pos, pos);
    TRow r = FRows.takeAt(pos);
    if (FDisableCount == 0)
        endRemoveRows();
    else
        FChangedWhileDisabled = true;
    if (r.hasKey)
        FDeleted << r;
    FCurrent = FRows.isEmpty() ? -1 : qMin(pos, int(FRows.size()) - 1);
    FBof = FEof = FRows.isEmpty();
    notifyCurrent();
    fireAfterScroll();
}

int TRowSet::rowIndexOfUid(quint64 uid) const
{
    if (uid == 0)
        return -1;
    for (int i = 0; i < FRows.size(); ++i)
        if (FRows[i].uid == uid)
            return i;
    return -1;
}

QString TRowSet::fieldName(int index) const
{
    return index >= 0 && index < FFields.size() ? FFields[index].name : QString();
}

void TRowSet::setDisplayLabel(const QString &field, const QString &label)
{
    if (label.isEmpty())
        FDisplayLabels.remove(field.toCaseFolded());
    else
        FDisplayLabels.insert(field.toCaseFolded(), label);
}

QString TRowSet::displayLabel(int index) const
{
    const QString name = fieldName(index);
    return FDisplayLabels.value(name.toCaseFolded(), name);
}

TFieldType TRowSet::fieldType(int index) const
{
    return index >= 0 && index < FFields.size() ? FFields[index].type : ftUnknown;
}

int TRowSet::fieldIndex(const QString &name) const
{
    for (int i = 0; i < FFields.size(); ++i)
        if (FFields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

TField TRowSet::field(const QString &name)
{
    checkOpen();
    const int i = fieldIndex(name);
    if (i < 0)
        throw TDBError(Tr::tr("数据集中没有字段“%1”").arg(name));
    return TField(this, i);
}

TField TRowSet::field(int index)
{
    checkOpen();
    if (index < 0 || index >= FFields.size())
        throw TDBError(Tr::tr("数据集中没有第 %1 个字段").arg(index + 1));
    return TField(this, index);
}

QVariant TRowSet::readField(int index) const
{
    if (FCurrent < 0 || FCurrent >= FRows.size() || index < 0 || index >= FFields.size())
        return QVariant();
    return FRows[FCurrent].cur[index];
}

void TRowSet::writeField(int index, const QVariant &stored)
{
    checkOpen();
    const TFieldDef &f = FFields[index];
    if (FState != dsEdit && FState != dsInsert)
        throw TDBError(Tr::tr("数据集不在编辑或插入状态，不能修改字段“%1”").arg(f.name));
    if (f.type == ftAutoInc)
        throw TDBError(Tr::tr("字段“%1”由数据库自动编号，不能修改").arg(f.name));
    if (!f.inTable)
        throw TDBError(Tr::tr("字段“%1”不是数据表的字段，不能修改").arg(f.name));
    FRows[FCurrent].cur[index] = stored;
    if (FDisableCount > 0) {
        FChangedWhileDisabled = true;
        return;
    }
    const QModelIndex cell = this->index(FCurrent, index);
    emit dataChanged(cell, cell);
}

bool TRowSet::hasPendingChanges() const
{
    if (!isOpen())
        return false;
    if (FState == dsInsert || (FState == dsEdit && !sameValues(FRows[FCurrent].cur, FEditBackup)))
        return true;
    if (!FDeleted.isEmpty())
        return true;
    for (const TRow &r : FRows)
        if (r.inserted || r.modified)
            return true;
    return false;
}

TRowSet::TSaveResult TRowSet::savePending(const QSqlDatabase &db)
{
    checkOpen();
    checkBrowseMode();
    TSaveResult result;
    if (!hasPendingChanges())
        return result;
    if (FReadOnly)
        throw TDBError(Tr::tr("此查询的结果不能保存"));
    const QString what = Tr::tr("保存数据表“%1”失败").arg(FTable);
    const QString table = quoteId(FTable);
    auto fail = [&](const QSqlQuery &q) { throw StoreFailure(db, what, q.lastError()); };
    auto conflict = [&] {
        throw TDBError(what + Tr::tr("：有记录已被其他程序修改或删除，请重新打开后再修改"));
    };

    for (const TRow &r : std::as_const(FDeleted)) {
        QSqlQuery q(db);
        if (!q.prepare(u"DELETE FROM %1 WHERE rowid = ?"_s.arg(table)))
            fail(q);
        q.addBindValue(r.key);
        if (!q.exec())
            fail(q);
        if (q.numRowsAffected() != 1)
            conflict();
    }

    for (const TRow &r : std::as_const(FRows)) {
        if (r.inserted || !r.modified)
            continue;
        QStringList sets, checks;
        QList<QVariant> values, originals;
        for (int i = 0; i < FFields.size(); ++i) {
            if (!FFields[i].inTable || FFields[i].type == ftAutoInc
                || sameValue(r.cur[i], r.orig[i]))
                continue;
            sets << quoteId(FFields[i].name) + u" = ?"_s;
            // Only when the stored value is still the one read: another program may have
            // changed it meanwhile.
            checks << quoteId(FFields[i].name) + u" IS ?"_s;
            values << r.cur[i];
            originals << r.orig[i];
        }
        if (sets.isEmpty())
            continue;
        QSqlQuery q(db);
        if (!q.prepare(u"UPDATE %1 SET %2 WHERE rowid = ? AND %3"_s.arg(
                table, sets.join(u", "_s), checks.join(u" AND "_s))))
            fail(q);
        for (const QVariant &v : values)
            q.addBindValue(v);
        q.addBindValue(r.key);
        for (const QVariant &v : originals)
            q.addBindValue(v);
        if (!q.exec())
            fail(q);
        if (q.numRowsAffected() != 1)
            conflict();
    }

    QStringList insertCols;
    QList<int> insertIdx;
    for (int i = 0; i < FFields.size(); ++i) {
        if (FFields[i].inTable && FFields[i].type != ftAutoInc) {
            insertCols << quoteId(FFields[i].name);
            insertIdx << i;
        }
    }
    const QString insertSql = insertCols.isEmpty()
        ? u"INSERT INTO %1 DEFAULT VALUES"_s.arg(table)
        : u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(
            table, insertCols.join(u", "_s), QStringList(insertCols.size(), u"?"_s).join(u", "_s));
    for (const TRow &r : std::as_const(FRows)) {
        if (!r.inserted)
            continue;
        QSqlQuery q(db);
        if (!q.prepare(insertSql))
            fail(q);
        for (int i : insertIdx)
            q.addBindValue(r.cur[i]);
        if (!q.exec())
            fail(q);
        result.newKeys << qMakePair(r.uid, q.lastInsertId().toLongLong());
    }
    return result;
}

void TRowSet::acceptSave(const TSaveResult &result)
{
    QHash<quint64, qint64> keys;
    for (const auto &k : result.newKeys)
        keys.insert(k.first, k.second);
    int autoInc = -1;
    for (int i = 0; i < FFields.size(); ++i)
        if (FFields[i].type == ftAutoInc && FFields[i].inTable)
            autoInc = i;
    FDeleted.clear();
    int firstChanged = int(FRows.size()), lastChanged = -1;
    for (int i = 0; i < FRows.size(); ++i) {
        TRow &r = FRows[i];
        if (r.inserted) {
            const auto it = keys.constFind(r.uid);
            if (it == keys.constEnd())
                continue; // not part of this save (cannot happen: every new row is written)
            r.key = *it;
            r.hasKey = true;
            if (autoInc >= 0)
                r.cur[autoInc] = qlonglong(*it);
            r.inserted = false;
            firstChanged = qMin(firstChanged, i);
            lastChanged = qMax(lastChanged, i);
        }
        r.modified = false;
        r.orig = r.cur;
    }
    rowDataChanged(firstChanged, lastChanged);
    emit saved();
}

void TRowSet::updateBatch()
{
    checkOpen();
    checkBrowseMode();
    if (!hasPendingChanges())
        return;
    const QSqlDatabase db = connection();
    TDBTransaction transaction(db, Tr::tr("保存数据表“%1”").arg(FTable));
    const TSaveResult result = savePending(db);
    transaction.commit();
    acceptSave(result);
}

void TRowSet::changeAtomically(const std::function<void()> &Change)
{
    checkOpen();
    const TSnapshot before = snapshot();
    disableControls();
    try {
        Change();
    } catch (...) {
        restore(before);
        enableControls();
        throw;
    }
    enableControls();
}

TRowSet::TSnapshot TRowSet::snapshot() const
{
    TSnapshot s;
    s.rows = FRows;
    s.deleted = FDeleted;
    s.current = FCurrent;
    s.bof = FBof;
    s.eof = FEof;
    s.state = FState;
    s.editBackup = FEditBackup;
    s.insertReturnUid = FInsertReturnUid;
    return s;
}

void TRowSet::restore(const TSnapshot &s)
{
    if (FDisableCount == 0)
        beginResetModel();
    FRows = s.rows;
    FDeleted = s.deleted;
    FCurrent = s.current;
    FBof = s.bof;
    FEof = s.eof;
    FEditBackup = s.editBackup;
    FInsertReturnUid = s.insertReturnUid;
    if (FDisableCount == 0)
        endResetModel();
    else
        FChangedWhileDisabled = true;
    setState(s.state);
    notifyCurrent();
}

void TRowSet::disableControls()
{
    ++FDisableCount;
}

void TRowSet::enableControls()
{
    if (FDisableCount == 0)
        return;
    if (--FDisableCount > 0)
        return;
    if (FChangedWhileDisabled) {
        FChangedWhileDisabled = false;
        beginResetModel();
        endResetModel();
    }
    emit currentRowChanged(recNo());
}

// ---- Qt model ----

int TRowSet::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(FRows.size());
}

int TRowSet::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(FFields.size());
}

QString TRowSet::displayText(int row, int column) const
{
    if (row < 0 || row >= FRows.size() || column < 0 || column >= FFields.size())
        return QString();
    return textOf(FFields[column].type, FRows[row].cur[column]);
}

QVariant TRowSet::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    return displayText(index.row(), index.column());
}

QVariant TRowSet::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return fieldName(section);
    return section + 1;
}

Qt::ItemFlags TRowSet::flags(const QModelIndex &index) const
{
    if (!index.isValid() || index.column() >= FFields.size())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    const TFieldDef &d = FFields[index.column()];
    if (!FReadOnly && d.inTable && d.type != ftAutoInc)
        f |= Qt::ItemIsEditable;
    return f;
}

bool TRowSet::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() >= FRows.size()
        || index.column() >= FFields.size())
        return false;
    try {
        if (index.row() != FCurrent)
            setRecNo(index.row() + 1);
        edit();
        TField f = field(index.column());
        if (value.typeId() == QMetaType::QString)
            f.setAsString(value.toString());
        else
            f.setValue(value);
        return true;
    } catch (const std::exception &e) {
        emit editError(QString::fromUtf8(e.what()));
        return false;
    }
}
