#include "catalogue/chunked_vector.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ostrevane {
namespace {

TEST(ChunkedVectorTest, ElementsStayPutAndKeepTheirValuesAcrossChunks) {
  ChunkedVector<std::string, 4> items;
  EXPECT_EQ(items.size(), 0u);
  items.push_back("0");
  const std::string* first = &items[0];
  for (int i = 1; i < 10; ++i) items.push_back(std::to_string(i));  // three chunks
  EXPECT_EQ(&items[0], first);  // growing never moves an element
  ASSERT_EQ(items.size(), 10u);
  for (std::size_t i = 0; i < items.size(); ++i) EXPECT_EQ(items[i], std::to_string(i));
}

}  // namespace
}  // namespace ostrevane
