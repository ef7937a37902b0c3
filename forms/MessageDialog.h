#pragma once
// The program's own message dialog: every question and notice of the game.
#include <QString>
#include <QtGlobal>

// Lays out and shows MFormDeluxe modally with the message, up to three buttons (an empty
// caption means no such button), picture `icon` and the title; returns when a button has
// been clicked with its index (0..2), which it also leaves in G.ButtonPressed.
int MsgDeluxe(const QString& message, const QString& button1, const QString& button2, const QString& button3,
              qint16 icon, const QString& title);

// An open message dialog is laid out again at the table's zoom.
void MsgDeluxeFollowZoom();
