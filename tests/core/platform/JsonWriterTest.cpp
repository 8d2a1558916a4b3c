// The JSON writer's layout and escaping, and the conversion of local texts
// to UTF-8 that keeps its documents valid.

#include "core/platform/JsonWriter.h"

#include "core/platform/TextEncoding.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

TEST(JsonWriterTest, NestedValuesAreIndentedAndSeparated) {
    CJsonWriter json;
    json.BeginObject();
    json.Key("name").String("DAX");
    json.Key("bars").Integer(-42);
    json.Key("empty").BeginArray().EndArray();
    json.Key("none").BeginObject().EndObject();
    json.Key("list").BeginArray();
    json.Boolean(true).Null();
    json.BeginObject().Key("a").Boolean(false).EndObject();
    json.EndArray();
    json.EndObject();
    EXPECT_EQ(json.Text(), "{\n"
                           "  \"name\": \"DAX\",\n"
                           "  \"bars\": -42,\n"
                           "  \"empty\": [],\n"
                           "  \"none\": {},\n"
                           "  \"list\": [\n"
                           "    true,\n"
                           "    null,\n"
                           "    {\n"
                           "      \"a\": false\n"
                           "    }\n"
                           "  ]\n"
                           "}\n");
}

TEST(JsonWriterTest, StringsEscapeQuotesBackslashesAndControlCharacters) {
    EXPECT_EQ(JsonStringLiteral("C:\\Kurse\\\"DAX\""), "\"C:\\\\Kurse\\\\\\\"DAX\\\"\"");
    EXPECT_EQ(JsonStringLiteral("a\nb\rc\td\be\ff"), "\"a\\nb\\rc\\td\\be\\ff\"");
    EXPECT_EQ(JsonStringLiteral(std::string("\x01\x1f\x7f", 3)), "\"\\u0001\\u001f\x7f\"");
    EXPECT_EQ(JsonStringLiteral(std::string("nul\0end", 7)), "\"nul\\u0000end\"");
    EXPECT_EQ(JsonStringLiteral(""), "\"\"");
}

TEST(JsonWriterTest, LocalEightBitTextsBecomeUtf8) {
    // Windows-1252: a-umlaut, the euro sign, a byte the code page leaves undefined.
    EXPECT_EQ(JsonStringLiteral("M\xfcnchen \x80 \x81"), "\"M\xc3\xbcnchen \xe2\x82\xac ?\"");
    // Texts that are UTF-8 already stay as they are.
    EXPECT_EQ(JsonStringLiteral("M\xc3\xbcnchen \xe2\x82\xac"), "\"M\xc3\xbcnchen \xe2\x82\xac\"");
    CJsonWriter json;
    json.BeginObject()
        .Key("Gr\xf6\xdf"
             "e")
        .String("\xe9")
        .EndObject();
    EXPECT_EQ(json.Text(), "{\n  \"Gr\xc3\xb6\xc3\x9f"
                           "e\": \"\xc3\xa9\"\n}\n");
}

TEST(TextEncodingTest, OnlyValidUtf8IsTakenAsUtf8) {
    EXPECT_EQ(LocalTextToUtf8("plain"), "plain");
    EXPECT_EQ(LocalTextToUtf8("\xf0\x9f\x93\x88"), "\xf0\x9f\x93\x88");
    // A lead byte without its continuation, an overlong form: single bytes.
    EXPECT_EQ(LocalTextToUtf8("\xc3"), "\xc3\x83");
    EXPECT_EQ(LocalTextToUtf8("\xc0\xaf"), "\xc3\x80\xc2\xaf");
    EXPECT_EQ(LocalTextToUtf8("\x8a\x9f"), "\xc5\xa0\xc5\xb8");
}

} // namespace
} // namespace mvr
