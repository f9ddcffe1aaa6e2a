// QName-typed values: the classes generated at build time from
// data/qnames.xsd. A QName's prefix means the namespace that the
// declarations in scope bind it to: read, it is resolved there; written,
// its namespace gets a prefix declared where none is bound.
#include "qnames.h"

#include <gtest/gtest.h>

#include <string>

#include "GeneratedTesting.h"

namespace {

using namespace generated_testing;

const unsigned short* const kNs = VX_T("urn:vxbind:qnames");
const unsigned short* const kSoap = VX_T("http://schemas.xmlsoap.org/soap/envelope/");

// Every kind of member, each QName under a binding of its own: a prefix
// declared on the root, one declared on the member's own element, the
// default namespace, a prefix rebound inside the document.
const char* const kFault =
    "<q:fault xmlns:q='urn:vxbind:qnames' xmlns:s='http://schemas.xmlsoap.org/soap/envelope/'"
    " kind='s:Receiver'>"
    "<q:code>s:Server</q:code>"
    "<q:subcode xmlns:t='urn:vxbind:qnames'>t:Client</q:subcode>"
    "<q:seen xmlns='urn:default'>plain</q:seen>"
    "<q:seen xmlns:s='urn:rebound'>s:Other</q:seen>"
    "<q:named note='n'>q:Server</q:named>"
    "<q:names xmlns:n='urn:n'> n:a\tq:b  c </q:names>"
    "</q:fault>";

void ExpectName(const CQName& value, const unsigned short* ns, const char* local) {
  EXPECT_EQ(U8(value.GetNamespaceURI()), U8(Utf16::Make(ns)));
  EXPECT_EQ(U8(value.GetLocalName()), local);
}

TEST(QNames, ReadingResolvesEachPrefixWhereItsTextStands) {
  CSmartPtr<Q::CFault> fault = ReadAs<Q::CFault>(kFault);
  ExpectName(fault->GetKind(), kSoap, "Receiver");
  ExpectName(fault->GetCode(), kSoap, "Server");
  EXPECT_EQ(U8(fault->GetCode().GetPrefix()), "s");
  ExpectName(fault->GetSubcode(), kNs, "Client");
  ASSERT_EQ(fault->GetSeen()->GetCount(), 2);
  ExpectName(fault->GetSeen()->Item(0), VX_T("urn:default"), "plain");
  ExpectName(fault->GetSeen()->Item(1), VX_T("urn:rebound"), "Other");
  ExpectName(fault->GetNamed()->GetValue(), kNs, "Server");
  CQNameList names = fault->GetNames();
  ASSERT_EQ(names.size(), 3u);
  ExpectName(names[0], VX_T("urn:n"), "a");
  ExpectName(names[1], kNs, "b");
  ExpectName(names[2], VX_T(""), "c");
  // Compared by namespace and local name, whatever the prefix.
  EXPECT_EQ(fault->GetSubcode(), CQName(kNs, VX_T("Client"), VX_T("other")));
}

TEST(QNames, WritingKeepsWhatEachValueMeans) {
  CSmartPtr<Q::CFault> fault = ReadAs<Q::CFault>(kFault);
  // Text and Fast Infoset, with no prefix given to the writer: the values'
  // namespaces are declared where the writer has none bound.
  String text = fault->ToXml(false, false);
  CSmartPtr<Q::CFault> back = ReadAs<Q::CFault>(U8(text));
  CSmartPtr<Q::CFault> fromFi = new Q::CFault;
  fromFi->FromXmlStream(fault->ToFastInfosetStream());
  for (Q::CFault* copy : {back.get(), fromFi.get()}) {
    SCOPED_TRACE(U8(text));
    EXPECT_EQ(copy->GetKind(), fault->GetKind());
    EXPECT_EQ(copy->GetCode(), fault->GetCode());
    EXPECT_EQ(copy->GetSubcode(), fault->GetSubcode());
    ASSERT_EQ(copy->GetSeen()->GetCount(), 2);
    EXPECT_EQ(copy->GetSeen()->Item(0), fault->GetSeen()->Item(0));
    EXPECT_EQ(copy->GetSeen()->Item(1), fault->GetSeen()->Item(1));
    EXPECT_EQ(copy->GetNamed()->GetValue(), fault->GetNamed()->GetValue());
    EXPECT_EQ(copy->GetNames(), fault->GetNames());
  }
  // A value's own prefix is reused where it is free; "s" means the SOAP
  // namespace on the root and another inside the second <seen>.
  EXPECT_NE(U8(text).find("xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\""),
            std::string::npos);
  EXPECT_NE(U8(text).find(">s:Server<"), std::string::npos);
}

TEST(QNames, ValuesBuiltInCodeGetTheirBinding) {
  CSmartPtr<Q::CFault> fault = new Q::CFault;
  fault->SetCode(CQName(kSoap, VX_T("Server")));  // no prefix: one is made up
  fault->SetKind(CQName(VX_T("urn:k"), VX_T("kind"), VX_T("k")));
  fault->GetSeen()->Add(CQName(kNs, VX_T("mine")));       // the element's own namespace
  fault->GetSeen()->Add(CQName(VX_T(""), VX_T("bare")));  // no namespace at all
  CXmlSerializationContext context;
  context.GetNamespaceAliases().Add(VX_T("q"), kNs);
  String text = fault->ToXml(false, false, EOLType_LF, context);
  CSmartPtr<Q::CFault> back = ReadAs<Q::CFault>(U8(text));
  EXPECT_EQ(back->GetCode(), fault->GetCode()) << U8(text);
  EXPECT_EQ(back->GetKind(), fault->GetKind()) << U8(text);
  EXPECT_EQ(U8(back->GetKind().GetPrefix()), "k");
  ASSERT_EQ(back->GetSeen()->GetCount(), 2);
  EXPECT_EQ(back->GetSeen()->Item(0), fault->GetSeen()->Item(0)) << U8(text);
  EXPECT_EQ(back->GetSeen()->Item(1), fault->GetSeen()->Item(1)) << U8(text);

  // Where the writer's default namespace is in force, a name without
  // namespace has no way to be written.
  CXmlSerializationContext defaulted;
  defaulted.SetDefaultNamespaceURI(kNs);
  EXPECT_NE(Failure([&] {
              fault->ToXml(false, false, EOLType_LF, defaulted);
            }).find("The QName [bare] has no namespace, but a default namespace is in force"),
            std::string::npos);
}

TEST(QNames, UnboundPrefixesAndMalformedNamesAreRefusedWithTheirLine) {
  const std::string kOpen = "<q:fault xmlns:q='urn:vxbind:qnames'>\n";
  struct Case {
    std::string xml;
    const char* message;
    unsigned line;
  } cases[] = {
      {kOpen + "<q:code>x:y</q:code></q:fault>",
       "The prefix [x] of the QName [x:y] is not bound to a namespace at the element [code]", 2},
      {"<q:fault xmlns:q='urn:vxbind:qnames'\n kind='x:y'><q:code>q:a</q:code></q:fault>",
       "The prefix [x] of the QName [x:y] is not bound to a namespace at the element [fault]", 1},
      {kOpen + "<q:code>q:a</q:code>\n<q:seen>q:a</q:seen><q:seen>z:b</q:seen></q:fault>",
       "The prefix [z] of the QName [z:b] is not bound", 3},
      {kOpen + "<q:code>q:a</q:code>\n<q:named>w:b</q:named></q:fault>",
       "The prefix [w] of the QName [w:b] is not bound", 3},
      {kOpen + "<q:code>q:a</q:code>\n<q:names>q:a v:b</q:names></q:fault>",
       "The prefix [v] of the QName [v:b] is not bound", 3},
      {kOpen + "<q:code>a:b:c</q:code></q:fault>",
       "The text [a:b:c] is not a qualified name (QName)", 2},
      {kOpen + "<q:code>:b</q:code></q:fault>", "is not a qualified name", 2},
      {kOpen + "<q:code></q:code></q:fault>", "is not a qualified name", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.xml);
    CSmartPtr<Q::CFault> fault = new Q::CFault;
    try {
      fault->FromXml(c.xml.c_str());
      ADD_FAILURE() << "read";
    } catch (const CVxException& e) {
      EXPECT_NE(U8(e.GetFullMessage()).find(c.message), std::string::npos)
          << U8(e.GetFullMessage());
      EXPECT_EQ(e.GetLineNumber(), c.line);
    }
  }
}

TEST(QNames, ParsingSplitsButResolvesNothing) {
  CQName name = CQName::Parse(VX_T("  p:local \n"));
  EXPECT_EQ(U8(name.GetPrefix()), "p");
  EXPECT_EQ(U8(name.GetLocalName()), "local");
  EXPECT_TRUE(name.GetNamespaceURI().empty());
  EXPECT_EQ(U8(CQName(VX_T("urn:x"), VX_T("a"), VX_T("p")).ToString()), "p:a");
  EXPECT_EQ(U8(CQName(VX_T("urn:x"), VX_T("a"), VX_T("p")).ToExpandedString()), "{urn:x}a");
  for (const unsigned short* bad : {VX_T("a b"), VX_T("p:"), VX_T("1a"), VX_T("a:b:c")})
    EXPECT_THROW(CQName::Parse(bad), CVxInvalidValueException) << U8(bad);
  CQNameList list = CQName::ParseList(VX_T("\n a:b  c\t"));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(U8(CQName::ListToString(list)), "a:b c");
  EXPECT_TRUE(CQName::ParseList(VX_T("  ")).empty());
}

}  // namespace
