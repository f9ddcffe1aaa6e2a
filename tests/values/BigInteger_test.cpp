#include "vxbind/values/BigInteger.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "support/Text.h"
#include "vxbind/values/Decimal.h"

using namespace VxVevAva5;
using vxtest::U;

namespace {

CBigInteger B(const std::string& text) { return CBigInteger(U(text).c_str()); }
std::string S(const CBigInteger& v) { return vxtest::ToUtf8(v.ToString()); }

struct IntCase {
  const char* text;
  const char* canonical;  // nullptr: rejected with `message`
  const char* message = nullptr;
};

const char kBadInt[] =
    "The string representing a BigInteger, contained an invalid char at position ";
const char kBadDec[] = "The string representing a Decimal, contained an invalid char at position ";

const IntCase kIntCases[] = {
    {"0", "0"},          {"-0", "0"},        {"+17", "17"},     {"007", "7"},
    {" -00120 ", "-120"}, {"", "0"},         {"   ", "0"},      {"-1000000000", "-1000000000"},
    {"999999999", "999999999"},
    {"123456789012345678901234567890", "123456789012345678901234567890"},
    // Read through CDecimal: fraction and exponent, rounded ties toward zero.
    {"1.5", "1"},        {"2.5", "2"},       {"2.6", "3"},      {"-1.5", "-1"},
    {"-1.51", "-2"},     {"1E3", "1000"},    {"12.5e1", "125"}, {"1e-1", "0"},
    // Rejected.
    {"1 2", nullptr, "1 [1 2]"},     {"12-", nullptr, "2 [12-]"},   {"-", nullptr, "1 [-]"},
    {"+", nullptr, "1 [+]"},         {"--1", nullptr, "1 [--1]"},   {"5\n", nullptr, "1 [5\n]"},
    {"\t5", nullptr, "0 [\t5]"},     {"12abc", nullptr, "2 [12abc]"},
    {"0x10", nullptr, "1 [0x10]"},   {"1,000", nullptr, "1 [1,000]"},
};

}  // namespace

TEST(CBigInteger, LexicalFormsTable) {
  for (const IntCase& c : kIntCases) {
    SCOPED_TRACE(c.text);
    if (c.canonical) {
      EXPECT_EQ(S(B(c.text)), c.canonical);
      continue;
    }
    // Texts with other characters than signs, digits and whitespace are
    // reported by the decimal reader.
    bool decimalForm = std::string(c.text).find_first_not_of("0123456789+- \t\r\n") !=
                       std::string::npos;
    std::string message = std::string(decimalForm ? kBadDec : kBadInt) + c.message;
    EXPECT_VX_THROW(B(c.text), CVxInvalidValueException, message);
  }
}

TEST(CBigInteger, FailedParseLeavesValueUnchanged) {
  CBigInteger v = B("42");
  EXPECT_THROW(v.Parse(VX_T("4 2")), CVxInvalidValueException);  // integer reader
  EXPECT_THROW(v.Parse(VX_T("4x")), CVxInvalidValueException);   // decimal reader
  EXPECT_EQ(S(v), "42");
  v.Parse(nullptr);
  EXPECT_EQ(S(v), "0");
}

TEST(CBigInteger, CanonicalRoundTripAcrossLimbBoundaries) {
  std::mt19937_64 rng(20240601);
  for (int i = 0; i < 2000; ++i) {
    int len = 1 + static_cast<int>(rng() % 60);
    std::string text(1, static_cast<char>('1' + rng() % 9));
    for (int k = 1; k < len; ++k) {
      // Long runs of 0 and 9 exercise carries and borrows between limbs.
      unsigned pick = rng() % 4;
      text += pick == 0 ? '0' : pick == 1 ? '9' : static_cast<char>('0' + rng() % 10);
    }
    if (rng() % 2) text.insert(0, "-");
    ASSERT_EQ(S(B(text)), text);
  }
}

TEST(CBigInteger, ConstructionFromMachineNumbersAndDoublesRoundingTiesTowardZero) {
  EXPECT_EQ(S(CBigInteger(-2147483647 - 1)), "-2147483648");
  EXPECT_EQ(S(CBigInteger(INT64_MIN)), "-9223372036854775808");
  EXPECT_EQ(S(CBigInteger(INT64_MAX)), "9223372036854775807");
  for (auto [d, text] : {std::pair{2.5, "2"}, {2.6, "3"}, {-2.5, "-2"}, {0.4, "0"},
                         {1e18, "1000000000000000000"}, {9007199254740993.0, "9007199254740992"}})
    EXPECT_EQ(S(CBigInteger(d)), text) << d;
  for (double d : {std::nan(""), HUGE_VAL})
    EXPECT_VX_THROW(CBigInteger{d}, CVxInvalidValueException,
                    "A BigInteger cannot be built from a NaN or infinite double");
  // Built at start-up from an exponent text.
  EXPECT_EQ(S(CBigInteger::MAX_DOUBLE), "17" + std::string(307, '0'));
  EXPECT_EQ(S(CBigInteger::MIN_DOUBLE), "-17" + std::string(307, '0'));
}

// Values computed with Python's int; quotients truncated toward zero, the
// remainder with the dividend's sign.
struct ArithCase {
  const char *a, *b, *product, *quotient, *remainder;
};
const ArithCase kArith[] = {
    {"7939998811768478254846096456508236018744",
     "98936812917358800691",
     "785558177003989108077692602675149227563403839846964436152104",
     "80253230093440562292",
     "90699262426437874972"},
    {"157841597958514061400063552273796634265217572996262773246456",
     "49986934524441290594888424681072474",
     "789001762238542846819954478578797271273147066224295916463945487498949622353385315440879965"
     "2144",
     "3157657084999618189960810",
     "18188294159868480440640811943502516"},
    {"209941839582738908595101126513382606536716826835548567574538868427537163412165310129667369"
     "7147655563",
     "-72815502980902933382556164881240143199542811459265034919793051337406848394676937743983925"
     "7962472496",
     "-15287020645953170450723039880876202904777376887246973663116478263460539060001958368969715"
     "457791516588448183086628370333205795318905526393615260512437030514903050465854343869681124"
     "62913088821268895248",
     "-2",
     "643108336209330418299887967509023201376312039170184977349527657527234666228114346416995181"
     "222710571"},
    {"197722568645310058414219061092525493546108921282031631063247010924109670650267866759091906"
     "98785",
     "-649683695",
     "-12845712898237618317121568015002269952873469685097444717604709675488093541329908041581450"
     "497646270810575",
     "-30433666439067715623403333385567802120400900823289344065075699787126360105169003319237",
     "31958070"},
    {"-63608844677166852941395219398634131102494762994211873053546384309374342030416498999395734"
     "728277071497418153619987409057866682712988495984028377757248167306099176876221543055841390"
     "285419304880237638868",
     "-17833374944803156997236850757876127735882280296663469349563337959518041479385422816906020"
     "1282275393987632232675109241627",
     "113436037693366301284102877317074812563237530269774200128325523788541242139439339165709126"
     "922926278752766702754677143865840327888161587000022291630410942086429188065937282746633043"
     "003389599029984407795886181152365182393914308310992378771800507635829441226565659148446002"
     "20194900220885984155601119083015525811716578758236",
     "356684278068763281894479531069186069868025396133897905591013225522809024374139992",
     "-14043962396077774198993465475444038313756619213523135749468132852479793026148702951802380"
     "215419529870019752570785791884"},
    {"-970962791438405850619349449857",
     "826367626659259799700239395218",
     "-802372217535405303400891194358481854441212508239466696583826",
     "-1",
     "-144595164779146050919110054639"},
};

TEST(CBigInteger, ProductsAndQuotientsMatchIndependentResults) {
  for (const ArithCase& c : kArith) {
    SCOPED_TRACE(c.a);
    CBigInteger a = B(c.a), b = B(c.b);
    EXPECT_EQ(S(a * b), c.product);
    EXPECT_EQ(S(b * a), c.product);
    EXPECT_EQ(S(a / b), c.quotient);
    EXPECT_EQ(S(a % b), c.remainder);
    EXPECT_EQ(S(B(c.product) / a), S(b));
    CBigInteger q = a, r = a, p = a;
    q /= b;
    r %= b;
    p *= b;
    EXPECT_EQ(S(q) + " " + S(r) + " " + S(p),
              std::string(c.quotient) + " " + c.remainder + " " + c.product);
  }
}

TEST(CBigInteger, DivisionSignsForAllFourCombinations) {
  struct {
    int a, b;
    const char *q, *r;
  } rows[] = {{7, 2, "3", "1"}, {7, -2, "-3", "1"}, {-7, 2, "-3", "-1"}, {-7, -2, "3", "-1"},
              {6, -3, "-2", "0"}, {1, 5, "0", "1"},  {-1, 5, "0", "-1"}, {0, -5, "0", "0"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.a) + " / " + std::to_string(row.b));
    EXPECT_EQ(S(CBigInteger(row.a) / CBigInteger(row.b)), row.q);
    EXPECT_EQ(S(CBigInteger(row.a) % CBigInteger(row.b)), row.r);
  }
}

TEST(CBigInteger, DivisionByZeroThrowsAndKeepsOperands) {
  CBigInteger a(5), zero;
  EXPECT_VX_THROW(a / zero, CVxInvalidValueException, "ERROR: Overflow in operator/!");
  EXPECT_VX_THROW(a % zero, CVxInvalidValueException, "ERROR: Overflow in operator%!");
  EXPECT_VX_THROW(a /= zero, CVxInvalidValueException, "ERROR: Overflow in operator /=!");
  EXPECT_VX_THROW(a %= zero, CVxInvalidValueException, "ERROR: Overflow in operator%=!");
  EXPECT_VX_THROW(a / zero.GetNegative(), CVxInvalidValueException,
                  "ERROR: Overflow in operator/!");
  EXPECT_EQ(S(a), "5");
}

TEST(CBigInteger, DivisionIdentityOnAdversarialLimbs) {
  // Limbs near 0, 5*10^8 and 10^9-1 provoke the corrections of long division.
  std::mt19937_64 rng(77);
  const char* pieces[] = {"000000000", "999999999", "500000000", "499999999", "000000001"};
  auto make = [&](int limbs) {
    std::string s = std::to_string(1 + rng() % 999);
    for (int i = 0; i < limbs; ++i)
      s += rng() % 3 ? pieces[rng() % 5] : std::to_string(100000000 + rng() % 900000000);
    return (rng() % 2 ? "-" : "") + s;
  };
  for (int i = 0; i < 3000; ++i) {
    CBigInteger a = B(make(1 + static_cast<int>(rng() % 8)));
    CBigInteger b = B(make(static_cast<int>(rng() % 5)));
    CBigInteger q = a / b, r = a % b;
    ASSERT_EQ(q * b + r, a) << S(a) << " / " << S(b);
    ASSERT_LT(r.GetAbs(), b.GetAbs());
    ASSERT_TRUE(r.IsZero() || r.Signum() == a.Signum());
  }
}

TEST(CBigInteger, AdditionAndSubtractionSigns) {
  const struct {
    const char *a, *b, *sum, *difference;
  } rows[] = {
      {"-5", "3", "-2", "-8"}, {"5", "-8", "-3", "13"}, {"5", "5", "10", "0"},
      {"-5", "-5", "-10", "0"},
      {"999999999999999999", "1", "1000000000000000000", "999999999999999998"},
      {"1", "1000000000000000000", "1000000000000000001", "-999999999999999999"},
      {"1000000000000000000", "1", "1000000000000000001", "999999999999999999"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.a) + ", " + row.b);
    EXPECT_EQ(S(B(row.a) + B(row.b)), row.sum);
    EXPECT_EQ(S(B(row.a) - B(row.b)), row.difference);
  }
  CBigInteger x = B("-3");
  x += B("10");
  EXPECT_EQ(S(x), "7");
  x -= B("10");
  EXPECT_EQ(S(x), "-3");
  x += B("-1000000000");
  EXPECT_EQ(S(x), "-1000000003");
}

TEST(CBigInteger, NegativeZeroPrintsAndComparesAsZero) {
  CBigInteger z;
  CBigInteger& same = -z;  // unary minus flips in place
  EXPECT_EQ(&same, &z);
  EXPECT_EQ(S(z), "0");
  EXPECT_TRUE(z == CBigInteger(0));
  EXPECT_FALSE(z < CBigInteger(0));
  EXPECT_EQ(S(z + CBigInteger(3)), "3");
  EXPECT_EQ(S(z.SquareRoot()), "0");
  CBigInteger five(5);
  -five;
  EXPECT_EQ(S(five), "-5");
  EXPECT_EQ(S(five.GetAbs()), "5");
  EXPECT_EQ(S(five), "-5");
  five.Abs();
  EXPECT_EQ(S(five), "5");
}

TEST(CBigInteger, ComparisonOrdersSignedValues) {
  const char* ordered[] = {"-1000000000000", "-999999999999", "-2", "0", "1", "999999999",
                           "1000000000"};
  for (int i = 0; i < 7; ++i)
    for (int j = 0; j < 7; ++j)
      EXPECT_TRUE(vxtest::OrderIs(B(ordered[i]), B(ordered[j]), (i > j) - (i < j)))
          << ordered[i] << " " << ordered[j];
}

TEST(CBigInteger, SquareRootRoundsDown) {
  // math.isqrt
  EXPECT_EQ(S(B("57156052158265120318978525215038540785452908626507292855293920990262679449020938")
                  .SquareRoot()),
            "7560162178039907651500709155447844860487");
  EXPECT_VX_THROW(CBigInteger(-1).SquareRoot(), CVxInvalidValueException,
                  "ERROR: Negative Number in function SquareRoot()!");
  for (int v = 0; v < 2000; ++v) {
    int r = static_cast<int>(CBigInteger(v).SquareRoot());
    ASSERT_TRUE(r * r <= v && (r + 1) * (r + 1) > v) << v;
  }
}

TEST(CBigInteger, ConversionToMachineIntegersChecksTheRange) {
  const char kDomain[] = "ERROR: Domain in operator int()!";
  EXPECT_EQ(static_cast<int>(B("2147483647")), 2147483647);
  EXPECT_EQ(static_cast<int>(B("-2147483648")), -2147483647 - 1);
  for (const char* s : {"2147483648", "-2147483649"})
    EXPECT_VX_THROW(static_cast<int>(B(s)), CVxInvalidValueException, kDomain) << s;
  EXPECT_EQ(static_cast<int64_t>(B("9223372036854775807")), INT64_MAX);
  EXPECT_EQ(static_cast<int64_t>(B("-9223372036854775808")), INT64_MIN);
  for (const char* s : {"9223372036854775808", "-9223372036854775809", "18446744073709551616",
                        "100000000000000000000000000000"})
    EXPECT_VX_THROW(static_cast<int64_t>(B(s)), CVxInvalidValueException, kDomain) << s;
}

// Quadratic parsing or printing would take minutes here and run into the
// test's time limit; bench_numbers has the figures.
TEST(CBigInteger, MillionDigitTextRoundTrips) {
  std::string digits(1000000, '0');
  std::mt19937 rng(5);
  for (char& c : digits) c = static_cast<char>('0' + rng() % 10);
  digits[0] = '7';
  String text = U("-" + digits);
  CBigInteger v(text.c_str());
  EXPECT_TRUE(v.ToString() == text);
  // A small divisor on a huge dividend: quotient times divisor gives it back.
  CBigInteger q = v / CBigInteger(7);
  EXPECT_EQ(q * CBigInteger(7) + v % CBigInteger(7), v);
}

// Values of up to two limbs are kept in place, larger ones on the heap:
// copies, moves and results that cross the limit in either direction keep
// every value whole.
TEST(CBigInteger, CopiesMovesAndResultsAcrossTheInPlaceLimit) {
  const std::string big = "123456789012345678901234567890123";
  CBigInteger small = B("999999999999999999"), heap = B(big);
  CBigInteger grown = small + CBigInteger(1);  // two limbs to three
  EXPECT_EQ(S(grown), "1000000000000000000");
  EXPECT_EQ(S(grown - CBigInteger(1)), "999999999999999999");  // and back
  CBigInteger a = small;
  a = heap;  // in place, assigned a heap value
  EXPECT_EQ(S(a), big);
  a = small;  // and a small one again
  EXPECT_EQ(S(a), "999999999999999999");
  a *= heap;
  EXPECT_EQ(S(a), S(heap * small));
  CBigInteger moved(std::move(a));
  CBigInteger target = B("5");
  target = std::move(moved);
  EXPECT_EQ(S(target), S(heap * small));
  CBigInteger inPlace = B("-42");
  CBigInteger movedSmall(std::move(inPlace));
  EXPECT_EQ(S(movedSmall), "-42");
  heap = movedSmall;
  EXPECT_EQ(S(heap), "-42");
  heap = heap;  // self-assignment
  EXPECT_EQ(S(heap), "-42");
  EXPECT_EQ(S(B("-9223372036854775808") * B("-1")), "9223372036854775808");
}
