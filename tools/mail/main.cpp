// SPDX-License-Identifier: GPL-3.0-or-later
// canasta-mail: sends one message through the game's mail component and prints
// every info and error event as it happens. Handy for trying a mail server.
//
//   canasta-mail --server HOST [--port N] --from ADDR [--from-name NAME]
//                --to ADDR[|NAME] [--cc ADDR[|NAME]] [--subject TEXT]
//                [--attach FILE]... [--timeout S] [--total-timeout S] < body
//
// Standard input is read as UTF-8; its last line end is not part of the text.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <cstdio>

#include "mail/SendMail.h"

using canasta::mail::TSendMail;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("canasta-mail"));

    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Sends the text read from standard input as an e-mail."));
    p.addHelpOption();
    const QCommandLineOption server(QStringLiteral("server"), QStringLiteral("SMTP server (IPv4 number or host name)."),
                                    QStringLiteral("HOST"));
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Server port (25)."), QStringLiteral("N"),
                                  QStringLiteral("25"));
    const QCommandLineOption from(QStringLiteral("from"), QStringLiteral("Sender's address."), QStringLiteral("ADDR"));
    const QCommandLineOption fromName(QStringLiteral("from-name"), QStringLiteral("Sender's display name."),
                                      QStringLiteral("NAME"));
    const QCommandLineOption to(QStringLiteral("to"), QStringLiteral("Recipient, ADDR or ADDR|NAME (repeatable)."),
                                QStringLiteral("ADDR"));
    const QCommandLineOption cc(QStringLiteral("cc"),
                                QStringLiteral("Carbon-copy recipient, ADDR or ADDR|NAME (repeatable)."),
                                QStringLiteral("ADDR"));
    const QCommandLineOption subject(QStringLiteral("subject"), QStringLiteral("Subject line."),
                                     QStringLiteral("TEXT"));
    const QCommandLineOption attach(QStringLiteral("attach"), QStringLiteral("File to attach (repeatable)."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption timeout(QStringLiteral("timeout"),
                                     QStringLiteral("Seconds the server may stay silent (60)."), QStringLiteral("S"),
                                     QStringLiteral("60"));
    const QCommandLineOption total(QStringLiteral("total-timeout"),
                                   QStringLiteral("Seconds for the whole send, plus the message's own share (180)."),
                                   QStringLiteral("S"), QStringLiteral("180"));
    p.addOptions({server, port, from, fromName, to, cc, subject, attach, timeout, total});
    p.process(app);

    bool portOk = false;
    const uint portNumber = p.value(port).toUInt(&portOk);
    if (!p.isSet(server) || !p.isSet(from) || !p.isSet(to) || !portOk || portNumber == 0 || portNumber > 65535) {
        std::fprintf(stderr, "canasta-mail: --server, --from and --to are needed; --port must be 1 to 65535\n");
        return 2;
    }

    TSendMail mail;
    mail.SMTP_Server = p.value(server);
    mail.SMTP_Port = static_cast<quint16>(portNumber);
    mail.FROM_Address = p.value(from);
    mail.FROM_Name = p.value(fromName);
    mail.ListTo = p.values(to);
    mail.Listcc = p.values(cc);
    mail.Subject = p.value(subject);
    mail.Attachments = p.values(attach);
    mail.TimeoutResponse = qMax(1, p.value(timeout).toInt());
    mail.TimeoutTotal = qMax(1, p.value(total).toInt());

    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly)) {
        std::fprintf(stderr, "canasta-mail: cannot read standard input\n");
        return 2;
    }
    QString body = QString::fromUtf8(in.readAll());
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (body.endsWith(QLatin1Char('\n'))) body.chop(1);
    if (!body.isEmpty()) mail.MailText = body.split(QLatin1Char('\n'));

    int failed = 0;
    mail.OnMailInfo = [](int info, const QString& addinfo) {
        std::printf("info %d: %s\n", info, addinfo.toLocal8Bit().constData());
        std::fflush(stdout);
    };
    mail.OnMailError = [&failed](int error, const QString& addinfo) {
        failed = error;
        std::fprintf(stderr, "error %d: %s\n", error, addinfo.toLocal8Bit().constData());
    };
    mail.OnDone = [] { QCoreApplication::quit(); };
    mail.Start();
    app.exec();
    return failed ? 1 : 0;
}
