// ET method choice from the system default and the station's wind data.
#include <gtest/gtest.h>

#include "EtMethod.h"
#include "TestMessages.h"

using namespace quen;
using quen::test::RecordingMessages;

namespace {
class ScriptedChooser : public EtMethodChooser {
public:
    std::optional<int> answer;
    QString askedWith;
    int calls = 0;
    std::optional<int> chooseEtMethod(const QString& code, int) override
    {
        ++calls;
        askedWith = code;
        return answer;
    }
};
} // namespace

TEST(ChooseETMethod, BySystemDefault)
{
    RecordingMessages msgs;
    ScriptedChooser ask;
    EtMethodChoice c = DecideEtMethod("", 5, "TR21", &ask);
    EXPECT_EQ(c.index, 1);
    EXPECT_EQ(c.text, "Blaney Criddle (TR21)");
    c = DecideEtMethod("Loc", 5, "FAONEH", &ask);
    EXPECT_EQ(c.index, 2);
    EXPECT_EQ(c.text, "FAO Penman-Monteith,NEH2 Bas crop curves");
    c = DecideEtMethod("Loc", 5, "FAONE", &ask);   // 5-character stored code
    EXPECT_EQ(c.index, 2);
    c = DecideEtMethod("Loc", 5, "FAO56", &ask);
    EXPECT_EQ(c.index, 3);
    EXPECT_EQ(c.text, "FAO Penman-Monteith,FAO 56,Table12");
    c = DecideEtMethod("Loc", 0, "TR21", &ask);
    EXPECT_EQ(c.index, 1);
    EXPECT_TRUE(msgs.texts.isEmpty());
    EXPECT_EQ(ask.calls, 0);
}

// No July wind, or no wind record at all (empty location), under a
// Penman-Monteith default: Blaney-Criddle with the message, the dialog not
// asked.
TEST(ChooseETMethod, NoJulyWindFallsBackWithMessage)
{
    const QString insufficient = "There is insufficient climatic data for Penman-Monteith method.  Will use Blaney "
                                 "Criddle (TR21) method.";
    for (const char* code : {"FAO56", "FAONEH", "ANYFAO", "ANY"}) {
        for (const char* location : {"Loc", ""}) {
            RecordingMessages msgs;
            ScriptedChooser ask;
            ask.answer = 2;
            const double wind = *location ? 0.0 : 5.0;
            const EtMethodChoice c = DecideEtMethod(location, wind, code, &ask);
            EXPECT_EQ(c.index, 1) << code << " '" << location << "'";
            EXPECT_EQ(c.text, "Blaney Criddle (TR21)");
            EXPECT_EQ(msgs.texts, QStringList{insufficient}) << code << " '" << location << "'";
            EXPECT_EQ(ask.calls, 0);
        }
    }
}

TEST(ChooseETMethod, AskedForAnyMethod)
{
    RecordingMessages msgs;
    ScriptedChooser ask;
    ask.answer = 3;
    EtMethodChoice c = DecideEtMethod("Loc", 4, "ANYFA", &ask);
    EXPECT_EQ(ask.askedWith, "ANYFAO");
    EXPECT_EQ(c.index, 3);
    EXPECT_EQ(c.text, "FAO Penman-Monteith,FAO56, Table12");
    ask.answer = 1;
    c = DecideEtMethod("Loc", 4, "ANY", &ask);
    EXPECT_EQ(c.index, 1);
    EXPECT_EQ(c.text, "Blaney Criddle (TR21)");
    ask.answer.reset();   // nothing checked: stays 2
    c = DecideEtMethod("Loc", 4, "ANY", &ask);
    EXPECT_EQ(c.index, 2);
    EXPECT_EQ(c.text, "FAO Penman-Monteith,NEH2 Bas curves");
}
