#include "engine/VariantList.h"

#include "engine/EngineError.h"

namespace {

bool isList(const Variant& value)
{
    return value.isArray() && value.dimensions() == 1;
}

void requireList(const Variant& value)
{
    if (!value.isArray())
        throw EngineError(QStringLiteral("The value is not an array."));
    if (value.dimensions() != 1)
        throw EngineError(
            QStringLiteral("The array has %1 dimensions; a list has one.").arg(value.dimensions()));
}

} // namespace

QStringList textsOf(const Variant& value)
{
    requireList(value);
    QStringList texts;
    texts.reserve(value.elements().size());
    for (const Variant& element : value.elements())
        texts.append(element.toText());
    return texts;
}

QStringList textsBeforeFailure(const Variant& value)
{
    QStringList texts;
    if (!isList(value))
        return texts;
    try {
        for (const Variant& element : value.elements())
            texts.append(element.toText());
    } catch (const EngineError&) {
        // The element without a text form ends the list.
    }
    return texts;
}
