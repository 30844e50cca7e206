#pragma once

#include <QList>
#include <QString>

// A value crossing the engine interface, modelled on the automation VARIANT the program
// relies on: empty, text, number, an object reference (which has no text form), or an
// array with its own lower bound and number of dimensions.
class Variant final
{
public:
    enum class Kind
    {
        Empty,
        Text,
        Number,
        Object,
        Array
    };

    Variant() = default;
    static Variant text(const QString& text);
    static Variant number(double number);
    static Variant object();
    // A one-dimensional array, elements listed from the lower bound upwards.
    static Variant array(const QList<Variant>& elements, qint64 lowerBound = 0);
    // An array of several dimensions; only its shape matters to the program.
    static Variant multiArray(const QList<Variant>& elements, int dimensions, qint64 lowerBound = 0);
    static Variant textArray(const QStringList& texts, qint64 lowerBound = 0);

    Kind kind() const { return m_kind; }
    bool isEmpty() const { return m_kind == Kind::Empty; }
    bool isArray() const { return m_kind == Kind::Array; }
    int dimensions() const { return m_dimensions; }
    qint64 lowerBound() const { return m_lowerBound; }
    qint64 upperBound() const { return m_lowerBound + m_elements.size() - 1; }
    const QList<Variant>& elements() const { return m_elements; }
    double toNumber() const { return m_number; }

    // The text form: texts as they are, numbers in decimal, empty as "".
    // Objects and arrays have none; asking for it throws EngineError.
    QString toText() const;

private:
    Kind m_kind = Kind::Empty;
    QString m_text;
    double m_number = 0;
    QList<Variant> m_elements;
    qint64 m_lowerBound = 0;
    int m_dimensions = 0;
};
