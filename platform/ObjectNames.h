#pragma once

#include <QLatin1String>
#include <QString>

// Gives a new widget its object name as it is made, so that tests and style sheets find it:
// `auto* box = named(new QLineEdit(parent), "txtName");`
template <typename Widget>
Widget* named(Widget* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

template <typename Widget>
Widget* named(Widget* widget, const char* name)
{
    return named(widget, QString(QLatin1String(name)));
}
