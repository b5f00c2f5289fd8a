#include "output/list_directed.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/test_files.h"

namespace kestrelfold {
namespace {

using namespace test_support;

std::string title_of(std::size_t length) {
    std::string title;
    for (std::size_t i = 0; i < length; ++i) title += static_cast<char>('a' + i % 26);
    return title;
}

class ListDirectedWrite : public ::testing::Test {
protected:
    std::string written() {
        unit.close();
        return read_bytes(path);
    }

    TempDir dir;
    std::string path = dir.file("Kestrelfold_T.gnu");
    Unit unit{11, path};
};

TEST_F(ListDirectedWrite, TitleCommandAndReplot) {
    const std::string title = "Teste com ap\xF3strofo 'x'";
    write_list_directed(unit, {"set title '", title, "'"});
    write_list_directed(unit, {"replot"});
    write_list_directed(unit, {"set title '", "", "'"});
    EXPECT_EQ(written(), " set title '" + title + "'\r\n replot\r\n set title ''\r\n");
}

TEST_F(ListDirectedWrite, TextThatDoesNotFitStartsANewRecord) {
    const std::string t67 = title_of(67), t68 = title_of(68), t70 = title_of(70);
    write_list_directed(unit, {"set title '", t67, "'"});
    write_list_directed(unit, {"set title '", t68, "'"});
    write_list_directed(unit, {"set title '", t70, "'"});
    EXPECT_EQ(written(), " set title '" + t67 + "'\r\n" +           // 80 characters: fits
                             " set title '" + t68 + "\r\n '\r\n" +   // the apostrophe alone
                             " set title '\r\n " + t70 + "'\r\n");   // the title moves on
}

TEST_F(ListDirectedWrite, TextLongerThanARecordIsSplit) {
    const std::string t100 = title_of(100), t158 = title_of(158);
    write_list_directed(unit, {t100, "!"});
    write_list_directed(unit, {t158});
    write_list_directed(unit, {"ab", t100});
    EXPECT_EQ(written(), std::string(" ") + t100.substr(0, 79) + "\r\n " + t100.substr(79) + "!\r\n" +
                             " " + t158.substr(0, 79) + "\r\n " + t158.substr(79) + "\r\n" +
                             " ab\r\n " + t100.substr(0, 79) + "\r\n " + t100.substr(79) + "\r\n");
}

}  // namespace
}  // namespace kestrelfold
