// SPDX-License-Identifier: GPL-3.0-or-later
// Whole lines out of a child's output, as its chunks arrive.
#pragma once

#include <QByteArray>
#include <QStringList>

// Cuts one stream's chunks into lines, each made visible (see
// OutputDecoder::visible) and cut at OutputDecoder::maxLineLength; an
// endless line is cut, not kept.
class LineSplitter
{
public:
    QStringList feed(const QByteArray &chunk);
    // What is left after the last line break.
    QStringList finish();

private:
    static QString line(const QByteArray &bytes);

    QByteArray m_pending;
};
