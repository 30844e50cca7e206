#include "engine/ValueText.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

using ValueText::Fit;

struct TypedCase
{
    const char* name;
    const char* type;
    const char* text;
    Fit fit;
    QVariant value; // invalid: no value
};

class TypedValue : public ::testing::TestWithParam<TypedCase>
{
};

// What the Write Value field lets through, and the value it writes.
TEST_P(TypedValue, FitsAndParsesAsItsType)
{
    const TypedCase& c = GetParam();
    const QString type = QString::fromLatin1(c.type);
    const QString text = QString::fromLatin1(c.text);
    EXPECT_EQ(ValueText::fitOf(type, text), c.fit);
    const std::optional<QVariant> parsed = ValueText::parse(type, text);
    ASSERT_EQ(parsed.has_value(), c.value.isValid());
    if (parsed) {
        EXPECT_EQ(parsed->typeId(), c.value.typeId());
        EXPECT_EQ(*parsed, c.value);
    }
}

const TypedCase kTypedCases[] = {
    {"BoolWord", "bool", "True", Fit::Value, QVariant(true)},
    {"BoolDigit", "bool", "0", Fit::Value, QVariant(false)},
    {"BoolBegun", "bool", "fa", Fit::Partial, QVariant()},
    {"BoolOther", "bool", "2", Fit::Never, QVariant()},
    {"Int16", "int16", "-32768", Fit::Value, QVariant(qint64(-32768))},
    {"Int16TooLarge", "int16", "32768", Fit::Never, QVariant()},
    {"Uint16Negative", "uint16", "-1", Fit::Never, QVariant()},
    {"Uint32", "uint32", "4294967295", Fit::Value, QVariant(qint64(4294967295LL))},
    {"IntSignOnly", "int32", "-", Fit::Partial, QVariant()},
    {"IntLetter", "int32", "7a", Fit::Never, QVariant()},
    {"Float", "float64", "-1.5e3", Fit::Value, QVariant(-1500.0)},
    {"FloatBegun", "float32", "1e", Fit::Partial, QVariant()},
    {"Float32TooLarge", "float32", "1e39", Fit::Never, QVariant()},
    {"FloatComma", "float64", "1,5", Fit::Never, QVariant()},
    {"Text", "text", " any ", Fit::Value, QVariant(QStringLiteral(" any "))},
    {"UnknownIsText", "", "7", Fit::Value, QVariant(QStringLiteral("7"))},
};

INSTANTIATE_TEST_SUITE_P(Types, TypedValue, ::testing::ValuesIn(kTypedCases),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

} // namespace
