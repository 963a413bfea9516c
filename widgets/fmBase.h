#pragma once
// TfrmBase: the base of the program's own dialog windows (the picker, the print preview). It has
// no behaviour of its own beyond its frame:
//   Top        a strip 26 pixels high along the top edge, hidden
//   Bottom     a decorative picture 5 pixels high along the bottom edge
//   Left       a decorative picture 2 pixels wide along the left edge, between Top and Bottom
//   PanelBack  the rest: derived windows place their controls in it
// The font is SimSun ("宋体") at 9 points, with CJK fallbacks where SimSun is not installed.
// The window opens centred over its parent's window (or, without a parent, over the active
// window). Neither Enter nor Escape closes it: no key acts as a default or cancel button. Closing
// it through the title bar rejects it, as with any dialog.

#include <QDialog>
#include <QFont>
#include <QStringList>

class TfrmBase : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmBase(QWidget *parent = nullptr);

    QWidget *Top;
    QWidget *Bottom;
    QWidget *Left;
    QWidget *PanelBack;

    static constexpr int TopHeight = 26;
    static constexpr int BottomHeight = 5;
    static constexpr int LeftWidth = 2;

    // SimSun 9 pt with its fallbacks.
    static QFont baseFont();
    static QStringList fontFamilies(); // "SimSun", "宋体", "NSimSun", "WenQuanYi Micro Hei", ...

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
};
