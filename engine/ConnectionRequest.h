#pragma once

#include <QString>

// The three ways to reach a controller.
enum class ConnectionWay
{
    Quor,  // a provider and a controller typed by the user
    Tulo,  // a query server, which names its controllers
    Brakka // a BRAKKA model reached through its server
};

// One connection way as data: what its fields say and what the engine is asked for.
struct ConnectionRequest
{
    ConnectionWay way = ConnectionWay::Quor;
    // What AddController is given; only the QUOR way names its controller.
    QString controller;
    QString provider;
    QString machine;
    QString option;
    // BRAKKA only: the fields its option is made of.
    QString server;
    QString timeout;

    // The fields taken as typed; nothing is trimmed or checked.
    static ConnectionRequest quor(const QString& controller, const QString& provider, const QString& machine,
                                  const QString& option);
    // `connectParameter` is the option handed to the query server's provider.
    static ConnectionRequest tulo(const QString& connectParameter);
    // `model`: 0 = Lyra7, anything else Lyra8.
    static ConnectionRequest brakka(qint32 model, const QString& server, const QString& timeout);

    // What was asked for, one field a line, as a failure's details show it.
    QString describe() const;
    // What the connection reaches, as a wait for it names it: the machine, else the BRAKKA
    // server, else the controller, else the option, else the provider.
    QString place() const;
};
