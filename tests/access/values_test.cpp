// The exact values the model keeps: dates of any year Access allows, money
// and decimals to the last digit, text as Jet stores it.
#include <gtest/gtest.h>

#include "access/jet_text.h"
#include "access/model.h"

namespace {

using namespace mdbfile;

std::string date(double days) {
  const auto t = civilTime(DateTime{days});
  return t ? dateText(*t) : "out of range";
}

TEST(AccessValues, DatesOnBothSidesOfDayZeroAndAtAccesssLimits) {
  EXPECT_EQ(date(0), "1899-12-30 00:00:00");
  EXPECT_EQ(date(2.5), "1900-01-01 12:00:00");
  // Before day zero the fraction still counts forward from midnight.
  EXPECT_EQ(date(-1.25), "1899-12-29 06:00:00");
  EXPECT_EQ(date(-0.5), "1899-12-30 12:00:00");
  EXPECT_EQ(date(-657434), "0100-01-01 00:00:00");
  EXPECT_EQ(date(2958465 + 86399.0 / 86400), "9999-12-31 23:59:59");
  EXPECT_EQ(date(36526.000011574), "2000-01-01 00:00:01");
  EXPECT_EQ(date(1.0 / 86400000 * 123), "1899-12-30 00:00:00.123");
  // A time that rounds to midnight is the next day's.
  EXPECT_EQ(date(0.9999999999), "1899-12-31 00:00:00");
  EXPECT_EQ(date(-657435), "out of range");
  EXPECT_EQ(date(2958466), "out of range");
  EXPECT_EQ(date(std::numeric_limits<double>::quiet_NaN()), "out of range");
}

TEST(AccessValues, CurrencyAndDecimalToTheirLastDigit) {
  EXPECT_EQ(currencyText(Currency{0}), "0.0000");
  EXPECT_EQ(currencyText(Currency{-15}), "-0.0015");
  EXPECT_EQ(currencyText(Currency{std::numeric_limits<std::int64_t>::max()}), "922337203685477.5807");
  EXPECT_EQ(currencyText(Currency{std::numeric_limits<std::int64_t>::min()}), "-922337203685477.5808");

  Decimal d;
  d.scale = 2;
  d.negative = true;
  d.magnitude = {150, 0, 0, 0};
  EXPECT_EQ(decimalText(d), "-1.50");
  // 10^28 - 1, the largest a Jet decimal holds, with 28 decimals.
  d = Decimal{};
  d.magnitude = {0x0FFFFFFF, 0x3E250261, 0x204FCE5E, 0};
  d.scale = 28;
  EXPECT_EQ(decimalText(d), "0.9999999999999999999999999999");
  d.scale = 0;
  EXPECT_EQ(decimalText(d), "9999999999999999999999999999");
  d.magnitude = {0, 0, 0, 0};
  d.negative = true;
  EXPECT_EQ(decimalText(d), "0");  // no negative zero
}

TEST(AccessValues, GuidAndTypeNamesAsAccessWritesThem) {
  Guid g;
  for (int i = 0; i < 16; ++i) g.bytes[static_cast<size_t>(i)] = static_cast<std::uint8_t>(i);
  EXPECT_EQ(guidText(g), "{03020100-0504-0706-0809-0A0B0C0D0E0F}");
  Column c;
  c.type = JetType::Text;
  c.size = 50;
  EXPECT_EQ(typeName(c), "Text(50)");
  c.type = JetType::Long;
  c.autoNumber = true;
  EXPECT_EQ(typeName(c), "Counter");
  c.type = JetType::Decimal;
  c.precision = 18;
  c.scale = 4;
  EXPECT_EQ(typeName(c), "Decimal(18,4)");
}

std::string jet4(std::initializer_list<int> bytes) {
  std::vector<std::uint8_t> b;
  for (int x : bytes) b.push_back(static_cast<std::uint8_t>(x));
  return jet4Text(b.data(), b.size());
}

TEST(AccessValues, Jet4TextCompressedOrNotAndBeyondTheBmp) {
  // Plain UTF-16LE; a surrogate pair is one character beyond the BMP.
  EXPECT_EQ(jet4({'A', 0, 0xE9, 0, 0x3D, 0xD8, 0x00, 0xDE}), "Aé\xF0\x9F\x98\x80");
  // Compressed: one byte a character until a zero switches to two-byte
  // units, and back.
  EXPECT_EQ(jet4({0xFF, 0xFE, 'a', 0xE9, 0, 0x2C, 0x6F, 0, 'z'}), "aé漬z");
  EXPECT_EQ(jet4({0xFF, 0xFE}), "");
  // A lone surrogate and half a unit: no character, nothing invented.
  EXPECT_EQ(jet4({0x00, 0xD8, 'x', 0}), "\xEF\xBF\xBDx");
  EXPECT_EQ(jet4({'x', 0, 'y'}), "x");
}

TEST(AccessValues, Jet3TextInItsCodePage) {
  const std::uint8_t bytes[] = {'a', 0x80, 0x81, 0x9D, 0xE9, 0xFF};
  // The bytes 1252 leaves undefined come back as the control characters of
  // the same number, as Windows decodes them: nothing is lost.
  EXPECT_EQ(codePageText(bytes, sizeof bytes, 1252), "a€\xC2\x81\xC2\x9Déÿ");
  const std::uint8_t gbk[] = {0xB1, 0xE0, 0xC2, 0xEB, 0xB1};  // 编码, then half a character
  EXPECT_EQ(codePageText(gbk, sizeof gbk, 936), "编码\xEF\xBF\xBD");
  EXPECT_TRUE(codePageKnown(936));
  EXPECT_FALSE(codePageKnown(12345));
}

}  // namespace
