// The JSON writer's layout and escaping, and the conversion of local texts
// to UTF-8 that keeps its documents valid.

#include "core/platform/JsonWriter.h"

#include "core/platform/TextEncoding.h"
#include "support/JsonValue.h"

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

TEST(JsonWriterTest, TheStrictReaderReadsBackEveryTextAsWritten) {
    std::string everyByte;
    for (int c = 1; c < 256; ++c) {
        everyByte += static_cast<char>(c);
    }
    CJsonWriter json;
    json.BeginObject().Key("text").String(everyByte).Key("n").Integer(-7).EndObject();
    std::string error;
    const auto parsed = test::ParseJson(json.Text(), &error);
    ASSERT_TRUE(parsed.has_value()) << error;
    EXPECT_EQ((*parsed)["text"].text, LocalTextToUtf8(everyByte));
    EXPECT_EQ((*parsed)["n"].Integer(), -7);
}

// The reader the report tests rely on refuses what a strict consumer refuses.
TEST(JsonValueTest, DocumentsThatAreNotJsonAreRefused) {
    for (const char* wrong : {"", "{", "{\"a\":1,}", "[1 2]", "{'a':1}", "{\"a\" 1}", "01", "1.",
                              "-", "tru", "\"a\tb\"", "\"\\x\"", "\"\\ud800\"", "\"\xc3\"",
                              "\"\xc0\xaf\"", "\"\xed\xa0\x80\"", "{} x"}) {
        EXPECT_FALSE(test::ParseJson(wrong).has_value()) << wrong;
    }
    const auto parsed =
        test::ParseJson(" {\"a\": [true, null, -1.5e2, \"\\u00e9\\ud83d\\udcc8\"]} ");
    ASSERT_TRUE(parsed.has_value());
    EXPECT_TRUE((*parsed)["a"][0].boolean);
    EXPECT_TRUE((*parsed)["a"][1].IsNull());
    EXPECT_EQ((*parsed)["a"][2].number, -150.0);
    EXPECT_EQ((*parsed)["a"][3].text, "\xc3\xa9\xf0\x9f\x93\x88");
    EXPECT_TRUE((*parsed)["missing"].IsNull());
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
