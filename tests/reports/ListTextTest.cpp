#include "reports/ListText.h"

#include <gtest/gtest.h>

using namespace kelvane;

TEST(ListText, QuotesAndFlatCells)
{
    TListTable list;
    list.Captions = {"Name", "Size"};
    list.Rows = {{"a \"b\", c", "1"}, {"tab\there\nnew", "2"}};
    EXPECT_EQ(list.Text(",", "\"", true), "\"Name\",\"Size\"\r\n\"a \"\"b\"\", c\",\"1\"\r\n\"tab\there\nnew\",\"2\"\r\n");
    EXPECT_EQ(list.Text("\t", "", false), "a \"b\", c\t1\r\ntab here new\t2\r\n") << "without quotes no cell may break a line or a column";
}
