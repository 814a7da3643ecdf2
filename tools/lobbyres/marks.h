// Small pictures: the gold digits and screen titles on the green key, and the empty-place
// boxes of a group row.
#pragma once

#include <QImage>
#include <QString>

namespace lobbyres {

QImage digitImage(int digit);                       // 16 x 24, keyed
QImage titleImage(const QString& text, bool flat);  // up to 460 x 20, keyed
QImage emptyPlaceImage(bool inviteOnly);            // 45 x 48

}  // namespace lobbyres
