// One repeated member read and written item by item (vxbind/core/Streaming.h)
// through the classes generated at build time from data/streaming.xsd: the
// books of a catalogue's shelf, two levels below the root.
#include "streaming.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "GeneratedTesting.h"

namespace {

using namespace VxVevAva5;
using namespace generated_testing;
using Streaming::CBook;
using Streaming::CCatalog;

std::string Book(const std::string& title, const std::string& price = "9.5",
                 const std::string& extra = "") {
  return "<book isbn='123-4567'><title>" + title + "</title><author>a</author><author>b</author>" +
         "<price>" + price + "</price>" + extra + "</book>";
}

std::string Catalog(const std::string& books) {
  return "<catalog xmlns='urn:streaming' xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'"
         " name='c'>\n<header>h</header>\n<shelf><label>l</label>\n" +
         books + "\n<note>n</note></shelf><footer>f</footer></catalog>";
}

// Each book as its own document, to compare items whole.
std::string Text(CBook& book) { return U8(book.ToXml(false, false)); }

// What reading `xml` streaming the books gives: the books handed over and
// the failure, as ReadOutcomeOf reports a whole read's.
struct Streamed {
  std::vector<std::string> books;
  ReadOutcome outcome;
};

Streamed ReadStreaming(const std::string& xml, bool validate) {
  CXmlSerializationContext context;
  context.SetValidateOnRead(validate);
  CSmartPtr<CCatalog> catalog = new CCatalog;
  Streamed result;
  try {
    StreamFromXml(*catalog, xml.c_str(), Streaming::CShelf::StreamBook(),
                  [&](CSmartPtr<CBook> book) { result.books.push_back(Text(*book)); }, context);
  } catch (const CVxException& e) {
    result.outcome = {U8(e.GetFullMessage()), e.GetLineNumber(), e.GetColumnNumber()};
  }
  return result;
}

TEST(Streaming, ReadHandsOverEveryItemInOrderAndBindsTheRestOfTheRoot) {
  const std::string xml = Catalog(
      Book("one", "1", "<chapter pages='3'><heading>x</heading></chapter><chapter><heading>y</heading></chapter>") +
      "<book xsi:nil='true'/>" +
      "<book xsi:type='EBook' isbn='765-4321'><title>two</title><author>c</author>"
      "<price>2</price><url>http://e/b</url></book>" +
      Book("three"));
  CSmartPtr<CCatalog> whole = ReadAs<CCatalog>(xml);
  std::vector<std::string> expected;
  for (CBook& book : *whole->GetShelf()->GetBook()) expected.push_back(Text(book));
  ASSERT_EQ(expected.size(), 4u);

  for (bool validate : {false, true}) {
    CXmlSerializationContext context;
    context.SetValidateOnRead(validate);
    CSmartPtr<CCatalog> catalog = new CCatalog;
    std::vector<std::string> books;
    std::vector<CSmartPtr<CBook>> kept;  // an item owes nothing to the read
    StreamFromXml(
        *catalog, xml.c_str(), Streaming::CShelf::StreamBook(),
        [&](CBook& book) {
          books.push_back(Text(book));
          kept.push_back(&book);
          return true;
        },
        context);
    EXPECT_EQ(books, expected) << "validating: " << validate;
    EXPECT_TRUE(kept[1]->IsXsiNil());
    EXPECT_NE(dynamic_cast<Streaming::CEBook*>(kept[2].get()), nullptr);
    EXPECT_EQ(kept[0]->GetChapter()->GetCount(), 2);
    // The root around the streamed member is bound, the member left empty.
    EXPECT_EQ(catalog->GetShelf()->GetBook()->GetCount(), 0);
    EXPECT_EQ(U8(catalog->GetHeader()), "h");
    EXPECT_EQ(U8(catalog->GetShelf()->GetLabel()), "l");
    EXPECT_EQ(U8(catalog->GetShelf()->GetNote()), "n");
    EXPECT_EQ(U8(catalog->GetFooter()), "f");
    EXPECT_EQ(U8(catalog->GetName()), "c");
  }

  // A shelf of a derived class streams the member it inherits.
  std::string big = Catalog(Book("one") + Book("two"));
  big.replace(big.find("<shelf>"), 7, "<shelf xsi:type='BigShelf'>");
  big.replace(big.find("</shelf>"), 8, "<capacity>9</capacity></shelf>");
  CSmartPtr<CCatalog> derived = new CCatalog;
  std::vector<std::string> titles;
  StreamFromXml(*derived, big.c_str(), Streaming::CShelf::StreamBook(),
                [&](CSmartPtr<CBook> book) { titles.push_back(U8(book->GetTitle())); });
  EXPECT_EQ(titles, (std::vector<std::string>{"one", "two"}));
  auto* bigShelf = dynamic_cast<Streaming::CBigShelf*>(derived->GetShelf().get());
  ASSERT_NE(bigShelf, nullptr);
  EXPECT_EQ(bigShelf->GetCapacity(), 9);

  // The same from the document's bytes.
  CSmartPtr<CCatalog> catalog = new CCatalog;
  int count = 0;
  StreamFromXmlStream(*catalog, CBinaryData(reinterpret_cast<const unsigned char*>(xml.data()),
                                            static_cast<uint32_t>(xml.size())),
                      Streaming::CShelf::StreamBook(), [&](CSmartPtr<CBook>) { ++count; });
  EXPECT_EQ(count, 4);
}

TEST(Streaming, ReadStopsWhereTheCallbackSaysSo) {
  const std::string xml = Catalog(Book("one") + Book("two") + Book("three"));
  CSmartPtr<CCatalog> catalog = new CCatalog;
  catalog->SetFooter(VX_T("before"));
  std::vector<std::string> titles;
  StreamFromXml(*catalog, xml.c_str(), Streaming::CShelf::StreamBook(),
                [&](CSmartPtr<CBook> book) {
                  titles.push_back(U8(book->GetTitle()));
                  return titles.size() < 2;
                });
  EXPECT_EQ(titles, (std::vector<std::string>{"one", "two"}));
  // What came before the stop is bound; what comes after holds a new
  // object's values.
  EXPECT_EQ(U8(catalog->GetShelf()->GetLabel()), "l");
  EXPECT_FALSE(catalog->IsValidFooter());
  EXPECT_FALSE(catalog->GetShelf()->IsValidNote());
}

// A callback may read documents of its own, streaming or whole, with or
// without validation: neither read frees, checks or counts the other's
// elements.
TEST(Streaming, ACallbackReadsDocumentsOfItsOwn) {
  std::string books, inner;
  for (int i = 0; i < 4; ++i) books += Book("outer" + std::to_string(i));
  for (int i = 0; i < 3; ++i) inner += Book("inner" + std::to_string(i));
  for (bool validate : {false, true}) {
    CXmlSerializationContext context;
    context.SetValidateOnRead(validate);
    CSmartPtr<CCatalog> catalog = new CCatalog;
    std::vector<std::string> titles;
    StreamFromXml(*catalog, Catalog(books).c_str(), Streaming::CShelf::StreamBook(),
                  [&](CSmartPtr<CBook> book) {
                    CSmartPtr<CCatalog> whole = new CCatalog;
                    whole->FromXml(Catalog(inner).c_str(), context);
                    ASSERT_EQ(whole->GetShelf()->GetBook()->GetCount(), 3);
                    int streamed = 0;
                    CSmartPtr<CCatalog> other = new CCatalog;
                    StreamFromXml(*other, Catalog(inner).c_str(), Streaming::CShelf::StreamBook(),
                                  [&](CSmartPtr<CBook>) { ++streamed; }, context);
                    EXPECT_EQ(streamed, 3);
                    titles.push_back(U8(book->GetTitle()));
                  },
                  context);
    ASSERT_EQ(titles.size(), 4u) << validate;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(titles[i], "outer" + std::to_string(i));
    EXPECT_EQ(U8(catalog->GetFooter()), "f");
  }
}

TEST(Streaming, WhatTheCallbackThrowsPassesUnchangedAndNothingIsKept) {
  const std::string xml = Catalog(Book("one") + Book("two"));
  CSmartPtr<CBook> last;
  auto read = [&](auto&& toThrow) {
    CSmartPtr<CCatalog> catalog = new CCatalog;
    StreamFromXml(*catalog, xml.c_str(), Streaming::CShelf::StreamBook(),
                  [&](CSmartPtr<CBook> book) {
                    last = book;
                    if (U8(book->GetTitle()) == "two") throw toThrow;
                    return true;
                  });
  };
  EXPECT_THROW(read(std::runtime_error("mine")), std::runtime_error);
  // Only this test's reference is left on the item handed over last.
  EXPECT_EQ(last->AddRef(), 2);
  EXPECT_EQ(last->Release(), 1);
  // A library exception of the callback's own is not wrapped by the read.
  try {
    read(CVxInvalidParamException(String(VX_T("callback"))));
    FAIL() << "no exception";
  } catch (const CVxInvalidParamException& e) {
    EXPECT_EQ(U8(e.GetFullMessage()), "callback");
  }
}

// A document that fails halfway fails as a whole read does, after the items
// before the failure.
TEST(Streaming, ReadFailsAsAWholeReadAfterTheItemsBefore) {
  struct Case {
    const char* what;
    std::string xml;
    bool validate;
    size_t before;  // items handed over before the failure
  };
  const std::string two = Book("one") + Book("two");
  const Case cases[] = {
      {"facet of an item's value", Catalog(two + Book("bad", "-1") + Book("four")), true, 2},
      {"pattern of an item's attribute",
       Catalog(two + "<book isbn='12-3'><title>t</title><author>a</author><price>1</price></book>"),
       true, 2},
      {"item missing a member",
       Catalog(two + "<book><author>a</author><price>1</price></book>"), false, 2},
      {"unconvertible value", Catalog(two + Book("bad", "abc")), false, 2},
      {"unknown xsi:type of an item", Catalog(two + "<book xsi:type='Nope'/>"), true, 0},
      {"too few items", Catalog(""), false, 0},
      {"too many items", Catalog(two + two + Book("five")), false, 5},
      {"malformed after two items", Catalog(two + "<book><title>t</book>"), false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ReadOutcome whole = ReadOutcomeOf<CCatalog>(c.xml, c.validate);
    ASSERT_NE(whole.message, "");
    Streamed streamed = ReadStreaming(c.xml, c.validate);
    EXPECT_EQ(streamed.outcome.message, whole.message);
    EXPECT_EQ(streamed.outcome.line, whole.line);
    EXPECT_EQ(streamed.outcome.column, whole.column);
    // A reader that parses as it binds may hand over the items before a
    // malformed part; one that parses first hands over none.
    EXPECT_LE(streamed.books.size(), c.before == 0 ? 2 : c.before);
    if (c.before > 0) {
      EXPECT_EQ(streamed.books.size(), c.before);
    }
  }
}

// A catalogue whose shelf holds `books`, with everything around them set.
CSmartPtr<CCatalog> MakeCatalog(const std::vector<CSmartPtr<CBook>>& books) {
  CSmartPtr<CCatalog> catalog = new CCatalog;
  catalog->SetName(VX_T("c"));
  catalog->SetHeader(VX_T("h"));
  catalog->SetFooter(VX_T("f"));
  CSmartPtr<Streaming::CShelf> shelf = new Streaming::CShelf;
  shelf->SetLabel(VX_T("l"));
  shelf->SetNote(VX_T("n"));
  for (const CSmartPtr<CBook>& book : books) shelf->GetBook()->Add(book);
  catalog->SetShelf(shelf);
  return catalog;
}

TEST(Streaming, WriteTakesTheItemsFromTheProducerWhereTheMemberStands) {
  std::vector<CSmartPtr<CBook>> books;
  for (const char* title : {"one", "two", "three"}) {
    CSmartPtr<CBook> book = new CBook;
    book->SetTitle(Utf16::FromUtf8(title).c_str());
    book->GetAuthor()->Add(VX_T("a"));
    book->SetPrice(CDecimal(VX_T("1.5")));
    books.push_back(book);
  }
  CSmartPtr<Streaming::CEBook> ebook = new Streaming::CEBook;
  ebook->SetTitle(VX_T("e"));
  ebook->GetAuthor()->Add(VX_T("b"));
  ebook->SetPrice(CDecimal(VX_T("2")));
  ebook->SetUrl(VX_T("http://e/b"));
  books.push_back(ebook.get());
  const String whole = MakeCatalog(books)->ToXml();

  CSmartPtr<CCatalog> empty = MakeCatalog({});
  size_t next = 0;
  String streamed = StreamToXml(*empty, Streaming::CShelf::StreamBook(), [&]() {
    return next < books.size() ? books[next++] : CSmartPtr<CBook>();
  });
  EXPECT_EQ(U8(streamed), U8(whole));
  // The other form of producer, and bytes.
  next = 0;
  CBinaryData bytes = StreamToXmlStream(*empty, Streaming::CShelf::StreamBook(),
                                        [&](CSmartPtr<CBook>& book) {
                                          if (next == books.size()) return false;
                                          book = books[next++];
                                          return true;
                                        });
  CBinaryData wholeBytes = MakeCatalog(books)->ToXmlStream();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.GetData()), bytes.GetLength()),
            std::string(reinterpret_cast<const char*>(wholeBytes.GetData()),
                        wholeBytes.GetLength()));
  // What is written reads back streaming to the same items.
  std::vector<std::string> titles;
  CSmartPtr<CCatalog> back = new CCatalog;
  StreamFromXml(*back, streamed.c_str(), Streaming::CShelf::StreamBook(),
                [&](CSmartPtr<CBook> book) { titles.push_back(U8(book->GetTitle())); });
  EXPECT_EQ(titles, (std::vector<std::string>{"one", "two", "three", "e"}));

  // The member's bounds apply to the number given, as to a collection's
  // (an empty one is left out unchecked); the producer's own exception
  // passes unchanged.
  std::vector<CSmartPtr<CBook>> five(books);
  five.push_back(books[0]);
  const std::string tooMany = Failure([&] { MakeCatalog(five)->ToXml(); });
  EXPECT_NE(tooMany.find("The Maximum number of [book] elements allowed in this collection is 4"),
            std::string::npos);
  next = 0;
  EXPECT_EQ(Failure([&] {
              StreamToXml(*empty, Streaming::CShelf::StreamBook(), [&]() {
                return next < five.size() ? five[next++] : CSmartPtr<CBook>();
              });
            }),
            tooMany);
  EXPECT_EQ(U8(StreamToXml(*empty, Streaming::CShelf::StreamBook(),
                           [] { return CSmartPtr<CBook>(); })),
            U8(empty->ToXml()));
  EXPECT_THROW(StreamToXml(*empty, Streaming::CShelf::StreamBook(),
                           []() -> CSmartPtr<CBook> { throw std::logic_error("producer"); }),
               std::logic_error);
}

}  // namespace
