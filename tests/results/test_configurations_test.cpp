#include "results/test_configurations.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "results/text_fields.h"
#include "results_fixture.h"

using testsupport::writeFile;
using namespace std::string_literals;

namespace {

using TestConfigurationsTest = ResultsTest;

const std::string& cell(std::int64_t id, int column) {
    return testConfigurationCell(id, column);
}

TEST_F(TestConfigurationsTest, RowsComeFromLinesWithAnIdBetweenOneAnd1999) {
    writeFile("settings/TestConfigurations.CSV",
              "ID,Name,Text\r\n305,x,y\r\n2000,lost\r\n0,lost\r\nno comma here\r\n101,a,b\r\n1999,last\r\n-5,neg\r\n");
    ASSERT_TRUE(loadTestConfigurations());
    EXPECT_EQ(cell(305, 0), "305");
    EXPECT_EQ(cell(305, 2), "y");
    EXPECT_EQ(cell(101, 0), "101");
    EXPECT_EQ(cell(101, 1), "a");
    for (int k = 2; k < testConfigurationColumns; ++k) EXPECT_EQ(cell(101, k), "b") << k;
    EXPECT_EQ(cell(1999, 1), "last");
    EXPECT_EQ(cell(2000, 0), "");
    EXPECT_EQ(cell(0, 0), "");
    EXPECT_EQ(cell(5000, 0), ""); // outside the table
    EXPECT_EQ(cell(305, 26), "");
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(TestConfigurationsTest, HostileLinesNeverReachOutsideTheTable) {
    std::string many = "150";
    for (int k = 1; k < 300; ++k) many += "," + std::to_string(k);
    writeFile("settings/TestConfigurations.CSV",
              "99999999999999999999,huge\r\n-99999999999999999999,huge\r\n" + many +
                  "\r\n\x01\xfe\x00,\xff\r\n120,\x00\xfe\r\n120,second\r\n,\r\n,,,,\r\n"s + std::string(100000, ','));
    ASSERT_TRUE(loadTestConfigurations());
    EXPECT_EQ(cell(150, 25), "25");
    EXPECT_EQ(cell(120, 1), "second"); // a later line with the same id wins
    int filled = 0;
    for (int id = 0; id < testConfigurationRows; ++id) filled += !cell(id, 0).empty();
    EXPECT_EQ(filled, 2);
}

TEST_F(TestConfigurationsTest, MissingTableSaysSoAndLeavesTheTableEmpty) {
    EXPECT_FALSE(loadTestConfigurations());
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(dialogs()[0].title, "Infomation");
    EXPECT_EQ(dialogs()[0].body,
              "Can't open 'TestConfigurations.CSV' file in 'settings' folder, you may need to reinstall this software "
              "to reinstate this file.");
    EXPECT_EQ(dialogs()[0].icon, platform::IconInformation);
    EXPECT_EQ(cell(100, 0), "");
}

TEST_F(TestConfigurationsTest, IdMovesWithinItsHundredWhileTheGraphTypeMovesOnItsOwn) {
    struct Case {
        std::int64_t id, graphType;
        bool next;
        std::int64_t idAfter, graphTypeAfter;
    };
    const Case cases[] = {
        {100, 2, false, 100, 1}, {100, 0, false, 100, 0}, {199, 9, true, 199, 9}, {150, 3, true, 151, 4},
        {151, 3, false, 150, 2}, {99, 0, true, 99, 1},    {2000, 5, false, 2000, 4}, {1999, 1, true, 1999, 2},
        {300, -4, false, 300, 0},
    };
    for (const Case& c : cases) {
        sweepParameters.testConfigurationId = c.id;
        sweepParameters.graphType = c.graphType;
        c.next ? nextTestConfiguration() : previousTestConfiguration();
        EXPECT_EQ(sweepParameters.testConfigurationId, c.idAfter) << c.id;
        EXPECT_EQ(sweepParameters.graphType, c.graphTypeAfter) << c.id;
    }
}

// The installed table fills every row the presets select and the rows offered beside them; a preset
// chosen from any of these rows lands on a filled row too.
TEST_F(TestConfigurationsTest, InstalledTableFillsEveryRowThePresetsReach) {
    std::filesystem::copy_file(KRV_SOURCE_DIR "/install/settings/TestConfigurations.CSV",
                               "settings/TestConfigurations.CSV");
    ASSERT_TRUE(loadTestConfigurations());
    std::set<std::int64_t> offered;
    for (std::int64_t id = 0; id < testConfigurationRows; ++id)
        if (!cell(id, 0).empty()) offered.insert(id);
    for (std::int64_t preset : {100, 300, 500, 600}) EXPECT_TRUE(offered.count(preset)) << preset;
    for (const std::int64_t id : offered) {
        for (int k = 2; k <= 5; ++k) EXPECT_FALSE(cell(id, k).empty()) << id << " description " << k;
        for (int channelColumn : {7, 12}) {
            const auto channel = leadingInteger(cell(id, channelColumn));
            ASSERT_TRUE(channel.has_value()) << id;
            EXPECT_TRUE(*channel >= 3 && *channel <= 11) << id;
            for (int k = channelColumn + 1; k <= channelColumn + 4; ++k) EXPECT_FALSE(cell(id, k).empty()) << id << " " << k;
        }
        for (const auto& type : dutTypeTable) {
            sweepParameters.testConfigurationId = id;
            applyDutType(type.code);
            EXPECT_TRUE(offered.count(sweepParameters.testConfigurationId)) << id << " " << type.code;
        }
    }
    EXPECT_EQ(offered, (std::set<std::int64_t>{100, 101, 102, 103, 300, 301, 302, 303, 500, 501, 600, 601}));

    // The tile walks the filled rows of its class and stops at their ends; the graph type still moves.
    struct Step {
        std::int64_t id;
        bool next;
        std::int64_t idAfter;
    };
    for (const Step& s : {Step{102, true, 103}, Step{103, true, 103}, Step{100, false, 100}, Step{101, false, 100},
                          Step{301, true, 302}, Step{303, true, 303}, Step{501, true, 501}, Step{601, true, 601}}) {
        sweepParameters.testConfigurationId = s.id;
        sweepParameters.graphType = 3;
        s.next ? nextTestConfiguration() : previousTestConfiguration();
        EXPECT_EQ(sweepParameters.testConfigurationId, s.idAfter) << s.id;
        EXPECT_EQ(sweepParameters.graphType, s.next ? 4 : 2) << s.id;
    }
}

} // namespace
