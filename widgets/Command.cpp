#include "Command.h"

void SetHint(QAction *Action, QString Hint)
{
    Hint.replace(QChar(13), u'\n');
    const qsizetype bar = Hint.indexOf(u'|');
    Action->setToolTip(bar < 0 ? Hint : Hint.left(bar));
    Action->setStatusTip(bar < 0 ? Hint : Hint.mid(bar + 1));
}
