#include "push/LineSplit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sarn {
namespace {

struct SplitCase {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
};

class LineSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(LineSplit, GivesTheLinesOfTheText) {
    const SplitCase& c = GetParam();
    const QList<QByteArray> lines =
        SplitNotificationLines(QByteArray(c.text.data(), static_cast<qsizetype>(c.text.size())));
    std::vector<std::string> got;
    for (const QByteArray& line : lines) {
        got.push_back(line.toStdString());
    }
    EXPECT_EQ(got, c.lines);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Notifications, LineSplit,
    ::testing::Values(SplitCase{"CrLf", "Title\r\nBody\r\n12:00", {"Title", "Body", "12:00"}},
                      SplitCase{"Lf", "Title\nBody\n12:00", {"Title", "Body", "12:00"}},
                      SplitCase{"Cr", "Title\rBody\r12:00", {"Title", "Body", "12:00"}},
                      SplitCase{"EmptyMiddleLine", "A\n\nC", {"A", "", "C"}},
                      SplitCase{"CrCrIsAnEmptyLine", "A\r\rB\rC", {"A", "", "B", "C"}},
                      SplitCase{"LfCrEndsALineAndAnEmptyOne", "A\n\rB", {"A", "", "B"}},
                      SplitCase{"FourLines", "A\nB\nC\nD", {"A", "B", "C", "D"}},
                      SplitCase{"FinalBreakAddsNoLine", "A\nB\nC\n", {"A", "B", "C"}},
                      SplitCase{"TwoLines", "A\nB", {"A", "B"}}, SplitCase{"Empty", "", {}},
                      SplitCase{"ZeroByteEndsTheText", "A\nB\0\nC"s, {"A", "B"}},
                      SplitCase{"LeadingZeroByte", "\0A\nB\nC"s, {}},
                      SplitCase{"OnlyBreaks", "\r\n\r\n", {"", ""}}),
    [](const ::testing::TestParamInfo<SplitCase>& info) { return info.param.name; });

}  // namespace
}  // namespace sarn
