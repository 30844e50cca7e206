#pragma once

#include "engine/Variant.h"

#include <QStringList>

// Lists that the engine hands back as arrays, turned into texts for the pick lists.

// The text of each element, from the lower to the upper bound. Throws EngineError when the
// value is not an array, the array is not one-dimensional, or an element has no text form.
QStringList textsOf(const Variant& value);

// The texts that can be taken before textsOf would fail: every element up to the first one
// without a text form; nothing when the value is not a one-dimensional array.
QStringList textsBeforeFailure(const Variant& value);
