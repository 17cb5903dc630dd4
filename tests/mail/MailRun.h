// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Records a mail component's events and runs the event loop until it is done.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QThread>

#include <utility>
#include <vector>

#include "mail/SendMail.h"

namespace canasta::test {

struct TMailEvents {
    std::vector<std::pair<int, QString>> Infos;
    std::vector<std::pair<int, QString>> Errors;
    int Done = 0;

    void Attach(mail::TSendMail& m) {
        m.OnMailInfo = [this](int i, const QString& s) { Infos.emplace_back(i, s); };
        m.OnMailError = [this](int e, const QString& s) { Errors.emplace_back(e, s); };
        m.OnDone = [this] { ++Done; };
    }
    bool HasInfo(int code, const QString& add) const {
        for (const auto& i : Infos)
            if (i.first == code && i.second == add) return true;
        return false;
    }
    int CountInfo(int code) const {
        int n = 0;
        for (const auto& i : Infos) n += i.first == code;
        return n;
    }
    std::vector<QString> InfoTexts(int code) const {
        std::vector<QString> v;
        for (const auto& i : Infos)
            if (i.first == code) v.push_back(i.second);
        return v;
    }
};

// Processes events for a while.
inline void Spin(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
}

// Runs the loop until pred holds or the time is up; returns pred().
template <class Pred>
bool SpinUntil(Pred pred, int ms = 10000) {
    QElapsedTimer t;
    t.start();
    while (!pred() && t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return pred();
}

}  // namespace canasta::test
