#pragma once
// The program's own message dialog: every question and notice of the game.
#include <QString>
#include <QtGlobal>

class MFormDeluxe;

// Lays out and shows `f` modally with the message, up to three buttons (an empty caption
// means no such button), picture `icon` and the title; returns when a button has been clicked
// with its index (0..2). `more` is told to a screen reader after the message (the hand's
// result beside the Hand Over notice, which the table shows).
int MsgDeluxe(MFormDeluxe& f, const QString& message, const QString& button1, const QString& button2,
              const QString& button3, qint16 icon, const QString& title, const QString& more = {});

// An open message dialog is laid out again at the table's zoom.
void MsgDeluxeFollowZoom(MFormDeluxe& f);
