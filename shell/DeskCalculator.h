#pragma once
// The small desk calculator of the task pane: the calculator logic and its 149 x 149 widget.

#include <QString>
#include <QWidget>

class QLineEdit;

// A pocket calculator: operations are applied left to right as they are entered
// ("2 + 3 × 4 =" gives 20), "=" finishes, a division by zero shows an error until cleared.
class TCalcEngine
{
public:
    // One key: '0'..'9', '.', '+', '-', '*', '/', '=', 'C' (clear), 'N' (change sign),
    // 'B' (back space). Other keys are ignored.
    void press(char key);
    void press(const char *keys);
    QString display() const { return FDisplay; }
    static QString errorText();

private:
    void applyPending();
    double FAccumulator = 0;
    char FPending = 0;
    bool FStartNew = true;
    bool FError = false;
    QString FDisplay = QStringLiteral("0");
};

class TDeskCalculator : public QWidget
{
    Q_OBJECT
public:
    explicit TDeskCalculator(QWidget *parent = nullptr);
    QString display() const;
    void press(char key);

protected:
    void keyPressEvent(QKeyEvent *e) override;

private:
    TCalcEngine FEngine;
    QLineEdit *FDisplay;
};
