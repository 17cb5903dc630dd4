// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers the mail tests share to check what went out: quoted-printable
// decoded back, and files written for attachments.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace canasta::test {

// Undoes quoted-printable (soft breaks and =XX), to check nothing was lost.
inline QByteArray DecodeQP(const QByteArray& in) {
    QByteArray out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] != '=') {
            out.append(in[i]);
        } else if (in.mid(i + 1, 2) == "\r\n") {
            i += 2;
        } else {
            out.append(static_cast<char>(in.mid(i + 1, 2).toInt(nullptr, 16)));
            i += 2;
        }
    }
    return out;
}

// A test with a folder of its own for the files it attaches.
class TFileTest : public ::testing::Test {
protected:
    QTemporaryDir Dir;
    QString Write(const QString& name, const QByteArray& data) {
        const QString path = Dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
        return path;
    }
};

}  // namespace canasta::test
