#pragma once
// Text files from outside, decoded whatever their encoding: UTF-8 (with or without a byte-order
// mark), UTF-16 with a byte-order mark, and the encodings Chinese, Taiwanese and Western
// spreadsheet programs save in (GB18030/GBK/GB2312, Big5, Windows-1252). Binary files and text
// in an encoding that cannot be told are refused with a message for the user.

#include <QByteArray>
#include <QString>

struct TDecodedText
{
    bool Ok = false;
    QString Text; // without the byte-order mark
    QString Encoding; // what was found: "UTF-8", "GB18030", ...
    QString Error; // why nothing could be read (when not Ok)
};

TDecodedText DecodeText(const QByteArray &Bytes);

// Whether the bytes look like a binary file rather than text: a NUL byte (outside UTF-16), or
// more than a few control characters that text does not carry.
bool LooksBinary(const QByteArray &Bytes);
