#include "engine/Variant.h"

#include "engine/EngineError.h"

Variant Variant::text(const QString& text)
{
    Variant v;
    v.m_kind = Kind::Text;
    v.m_text = text;
    return v;
}

Variant Variant::number(double number)
{
    Variant v;
    v.m_kind = Kind::Number;
    v.m_number = number;
    return v;
}

Variant Variant::object()
{
    Variant v;
    v.m_kind = Kind::Object;
    return v;
}

Variant Variant::array(const QList<Variant>& elements, qint64 lowerBound)
{
    return multiArray(elements, 1, lowerBound);
}

Variant Variant::multiArray(const QList<Variant>& elements, int dimensions, qint64 lowerBound)
{
    Variant v;
    v.m_kind = Kind::Array;
    v.m_elements = elements;
    v.m_dimensions = dimensions;
    v.m_lowerBound = lowerBound;
    return v;
}

Variant Variant::textArray(const QStringList& texts, qint64 lowerBound)
{
    QList<Variant> elements;
    elements.reserve(texts.size());
    for (const QString& t : texts)
        elements.append(text(t));
    return array(elements, lowerBound);
}

QString Variant::toText() const
{
    switch (m_kind) {
    case Kind::Empty:
        return QString();
    case Kind::Text:
        return m_text;
    case Kind::Number:
        return QString::number(m_number, 'g', 15);
    case Kind::Object:
    case Kind::Array:
        break;
    }
    throw EngineError(QStringLiteral("The value has no text form."));
}
