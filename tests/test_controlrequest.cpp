#include "session/ControlRequest.h"

#include <gtest/gtest.h>

namespace {
struct WordsCase {
    const char* name;
    QStringList words;
    bool good;
    QStringList normalised; // what travels, for good rows
};
} // namespace

TEST(ControlRequestTest, CommandWordsAreCheckedStrictly) {
    const WordsCase cases[] = {
        {"apply current", {"apply"}, true, {"apply"}},
        {"apply file", {"apply", "/tmp/a.psf"}, true, {"apply", "/tmp/a.psf"}},
        {"apply two files", {"apply", "a", "b"}, false, {}},
        {"apply empty name", {"apply", ""}, false, {}},
        {"reset", {"reset"}, true, {"reset"}},
        {"reset with extra", {"reset", "now"}, false, {}},
        {"dpi", {"set", "dpi", "2", "800"}, true, {"set", "dpi", "2", "800"}},
        {"dpi leading zeros", {"set", "dpi", "02", "0800"}, true, {"set", "dpi", "2", "800"}},
        {"dpi level 0", {"set", "dpi", "0", "800"}, false, {}},
        {"dpi level 9", {"set", "dpi", "9", "800"}, false, {}},
        {"dpi negative", {"set", "dpi", "1", "-800"}, false, {}},
        {"dpi not a number", {"set", "dpi", "1", "800x"}, false, {}},
        {"dpi overflowing", {"set", "dpi", "1", "99999999999999"}, false, {}},
        {"dpi missing value", {"set", "dpi", "1"}, false, {}},
        {"rate", {"set", "rate", "500"}, true, {"set", "rate", "500"}},
        {"rate 1000", {"set", "rate", "1000"}, true, {"set", "rate", "1000"}},
        {"rate not offered", {"set", "rate", "300"}, false, {}},
        {"rate with unit", {"set", "rate", "500Hz"}, false, {}},
        {"set unknown", {"set", "colour", "red"}, false, {}},
        {"set nothing", {"set"}, false, {}},
        {"profile", {"profile", "3"}, true, {"profile", "3"}},
        {"profile 0", {"profile", "0"}, false, {}},
        {"profile 6", {"profile", "6"}, false, {}},
        {"profile missing", {"profile"}, false, {}},
        {"unknown command", {"frobnicate"}, false, {}},
    };
    for (const WordsCase& c : cases) {
        SCOPED_TRACE(c.name);
        QString why;
        const auto request = ControlRequest::fromWords(c.words, &why);
        EXPECT_EQ(request.has_value(), c.good);
        if (request) {
            EXPECT_EQ(request->words(), c.normalised);
            // The line the program gets reads back as the same request.
            const auto back = ControlRequest::fromLine(request->toLine(), &why);
            ASSERT_TRUE(back.has_value()) << why.toStdString();
            EXPECT_EQ(back->words(), c.normalised);
        } else {
            EXPECT_FALSE(why.isEmpty());
        }
    }
}

TEST(ControlRequestTest, LinesFromTheSocketAreCheckedBeforeTheyAreRead) {
    const struct {
        const char* name;
        QByteArray line;
        bool good;
    } cases[] = {
        {"good",
         R"({"words":["set","rate","250"]})"
         "\n",
         true},
        {"not JSON", "2999 please\n", false},
        {"array",
         R"(["set","rate","250"])"
         "\n",
         false},
        {"no words",
         R"({"command":"reset"})"
         "\n",
         false},
        {"empty words",
         R"({"words":[]})"
         "\n",
         false},
        {"number among words",
         R"({"words":["set","rate",250]})"
         "\n",
         false},
        {"words not a list",
         R"({"words":"reset"})"
         "\n",
         false},
        {"read-only command",
         R"({"words":["info"]})"
         "\n",
         false},
        {"watch",
         R"({"words":["watch"]})"
         "\n",
         false},
        {"bad argument",
         R"({"words":["profile","9"]})"
         "\n",
         false},
        {"oversized", R"({"words":["apply",")" + QByteArray(ControlRequest::MaxLineBytes, 'a') + "\"]}\n",
         false},
        {"truncated", R"({"words":["reset")", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString why;
        EXPECT_EQ(ControlRequest::fromLine(c.line, &why).has_value(), c.good) << why.toStdString();
        if (!c.good) {
            EXPECT_FALSE(why.isEmpty());
        }
    }
}

TEST(ControlRequestTest, AnswersCarryCodeAndMessage) {
    int code = -1;
    QString message;
    ASSERT_TRUE(ControlRequest::parseAnswer(
        ControlRequest::answerLine(ControlRequest::MouseGone, QStringLiteral("gone \"x\"\n")), code,
        message));
    EXPECT_EQ(code, ControlRequest::MouseGone);
    EXPECT_EQ(message, QStringLiteral("gone \"x\"\n"));
    // The answer of a program that predates commands, and other junk, is not an answer.
    for (const QByteArray& junk : {QByteArray("0\n"), QByteArray("{}\n"), QByteArray(R"({"code":"0"})"),
                                   QByteArray(R"({"code":0})")}) {
        SCOPED_TRACE(junk.constData());
        EXPECT_FALSE(ControlRequest::parseAnswer(junk, code, message));
    }
}
