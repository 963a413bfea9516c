#include "DeskCalculator.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr int MaxDigits = 15;

QString formatNumber(double v)
{
    if (v == 0)
        return u"0"_s; // no "-0"
    return QString::number(v, 'g', 12);
}

} // namespace

QString TCalcEngine::errorText()
{
    return TDeskCalculator::tr("错误");
}

void TCalcEngine::applyPending()
{
    const double operand = FDisplay.toDouble();
    switch (FPending) {
    case '+':
        FAccumulator += operand;
        break;
    case '-':
        FAccumulator -= operand;
        break;
    case '*':
        FAccumulator *= operand;
        break;
    case '/':
        if (operand == 0) {
            FError = true;
            return;
        }
        FAccumulator /= operand;
        break;
    default:
        FAccumulator = operand;
        break;
    }
    if (!std::isfinite(FAccumulator))
        FError = true;
}

void TCalcEngine::press(char key)
{
    if (key == 'C') {
        *this = TCalcEngine();
        return;
    }
    if (FError)
        return;
    if (key >= '0' && key <= '9') {
        if (FStartNew) {
            FDisplay = u"0"_s;
            FStartNew = false;
        }
        if (FDisplay.size() >= MaxDigits)
            return;
        if (FDisplay == u"0")
            FDisplay = QString(QLatin1Char(key));
        else if (FDisplay == u"-0")
            FDisplay = u"-"_s + QLatin1Char(key);
        else
            FDisplay += QLatin1Char(key);
    } else if (key == '.') {
        if (FStartNew) {
            FDisplay = u"0"_s;
            FStartNew = false;
        }
        if (!FDisplay.contains(u'.') && FDisplay.size() < MaxDigits)
            FDisplay += u'.';
    } else if (key == 'B') {
        if (FStartNew)
            return;
        FDisplay.chop(1);
        if (FDisplay.isEmpty() || FDisplay == u"-")
            FDisplay = u"0"_s;
    } else if (key == 'N') {
        if (FDisplay == u"0")
            return;
        FDisplay = FDisplay.startsWith(u'-') ? FDisplay.mid(1) : u"-"_s + FDisplay;
        if (FStartNew && FPending == 0)
            FAccumulator = -FAccumulator;
    } else if (key == '+' || key == '-' || key == '*' || key == '/' || key == '=') {
        if (!FStartNew || FPending == 0)
            applyPending();
        if (FError) {
            FDisplay = errorText();
            return;
        }
        FDisplay = formatNumber(FAccumulator);
        FPending = key == '=' ? 0 : key;
        FStartNew = true;
    }
}

void TCalcEngine::press(const char *keys)
{
    for (; *keys; ++keys)
        press(*keys);
}

TDeskCalculator::TDeskCalculator(QWidget *parent)
    : QWidget(parent)
    , FDisplay(new QLineEdit(this))
{
    setObjectName(u"calculator"_s);
    setFixedSize(149, 149);
    setFocusPolicy(Qt::StrongFocus);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);

    FDisplay->setObjectName(u"calculatorDisplay"_s);
    FDisplay->setReadOnly(true);
    FDisplay->setFocusPolicy(Qt::NoFocus);
    FDisplay->setAlignment(Qt::AlignRight);
    FDisplay->setText(FEngine.display());
    grid->addWidget(FDisplay, 0, 0, 1, 4);

    struct Key
    {
        const char *label;
        char key;
        int row;
        int col;
        int span;
    };
    static const Key keys[] = {
        { "C", 'C', 1, 0, 1 },
        { "±", 'N', 1, 1, 1 },
        { "←", 'B', 1, 2, 1 },
        { "÷", '/', 1, 3, 1 },
        { "7", '7', 2, 0, 1 },
        { "8", '8', 2, 1, 1 },
        { "9", '9', 2, 2, 1 },
        { "×", '*', 2, 3, 1 },
        { "4", '4', 3, 0, 1 },
        { "5", '5', 3, 1, 1 },
        { "6", '6', 3, 2, 1 },
        { "-", '-', 3, 3, 1 },
        { "1", '1', 4, 0, 1 },
        { "2", '2', 4, 1, 1 },
        { "3", '3', 4, 2, 1 },
        { "+", '+', 4, 3, 1 },
        { "0", '0', 5, 0, 2 },
        { ".", '.', 5, 2, 1 },
        { "=", '=', 5, 3, 1 },
    };
    for (const Key &k : keys) {
        auto *button = new QToolButton(this);
        button->setText(QString::fromUtf8(k.label));
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        const char key = k.key;
        connect(button, &QToolButton::clicked, this, [this, key] { press(key); });
        grid->addWidget(button, k.row, k.col, 1, k.span);
    }
}

QString TDeskCalculator::display() const
{
    return FEngine.display();
}

void TDeskCalculator::press(char key)
{
    FEngine.press(key);
    FDisplay->setText(FEngine.display());
}

void TDeskCalculator::keyPressEvent(QKeyEvent *e)
{
    const QString text = e->text();
    char key = 0;
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        key = '=';
        break;
    case Qt::Key_Escape:
    case Qt::Key_Delete:
        key = 'C';
        break;
    case Qt::Key_Backspace:
        key = 'B';
        break;
    default:
        if (text.size() == 1 && QStringLiteral("0123456789.+-*/=").contains(text[0]))
            key = char(text[0].unicode());
        break;
    }
    if (key)
        press(key);
    else
        QWidget::keyPressEvent(e);
}
