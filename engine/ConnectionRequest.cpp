#include "engine/ConnectionRequest.h"

#include "engine/ConnectionOptions.h"

using namespace ConnectionOptions;

ConnectionRequest ConnectionRequest::quor(const QString& controller, const QString& provider,
                                          const QString& machine, const QString& option)
{
    ConnectionRequest request;
    request.way = ConnectionWay::Quor;
    request.controller = controller;
    request.provider = provider;
    request.machine = machine;
    request.option = option;
    return request;
}

ConnectionRequest ConnectionRequest::tulo(const QString& connectParameter)
{
    ConnectionRequest request;
    request.way = ConnectionWay::Tulo;
    request.provider = kTuloProvider;
    request.option = connectParameter;
    return request;
}

ConnectionRequest ConnectionRequest::brakka(qint32 model, const QString& server, const QString& timeout)
{
    ConnectionRequest request;
    request.way = ConnectionWay::Brakka;
    request.provider = brakkaProvider(model);
    request.option = brakkaOption(model, server, timeout);
    request.server = server;
    request.timeout = timeout;
    return request;
}

QString ConnectionRequest::describe() const
{
    return describeRequest(controller, provider, machine, option);
}

QString ConnectionRequest::place() const
{
    for (const QString* text : {&machine, &server, &controller, &option}) {
        if (!text->isEmpty())
            return *text;
    }
    return provider;
}
