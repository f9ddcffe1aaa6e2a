#include "vxbind/collections/Element.h"

#include <string>
#include <vector>

#include "support/Nodes.h"
#include "support/Text.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/values/BinaryData.h"
#include "vxbind/writers/XmlTextWriter.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

// The protected namespace tests of the object base, made callable.
struct CProbe : CXmlObjectBase {
  using CXmlObjectBase::IsNamespaceValid;
  using CXmlObjectBase::TestNamespace;
};

std::string Xml(const CXmlObjectBase* object,
                const CXmlSerializationContext& context = CXmlSerializationContext()) {
  return ToUtf8(object->ToXml(false, false, EOLType_LF, context));
}

std::string Names(const CElementCol& children) {
  std::string names;
  for (const CElement& e : children) names += ToUtf8(e.GetName()) + ";";
  return names;
}

// An element class of its own, which writes itself differently.
class CCustom : public CElement {
 public:
  CCustom() : CElement(VX_T("custom")) {}

 protected:
  void ToXml_Int(CXmlWriter* writer, bool, const unsigned short*, const CXmlSerializationContext&,
                 bool) const override {
    writer->WriteStartElement(U("special"), String());
    writer->WriteEndElement();
  }
};

}  // namespace

TEST(CXmlObjectBase, NamespaceRestrictionsTable) {
  struct Case {
    const char* ns;
    const char* restriction;
    const char* target;
    bool valid;
  } const cases[] = {
      {"urn:x", "##any", "", true},
      {"", "##any", "urn:t", true},
      {"urn:x", "##other", "urn:t", true},
      {"urn:t", "##other", "urn:t", false},
      {"", "##other", "urn:t", true},  // no namespace is "other" than a target namespace
      {"", "##other", "", false},
      {"", "##local", "urn:t", true},
      {"urn:x", "##local", "", false},
      {"urn:t", "##targetNamespace", "urn:t", true},
      {"urn:x", "##targetNamespace", "urn:t", false},
      {"", "##local ##targetNamespace", "urn:t", true},
      {"urn:t", "##local ##targetNamespace", "urn:t", true},
      {"urn:x", "##local ##targetNamespace", "urn:t", false},
      {"urn:b", "urn:a urn:b", "", true},
      {"urn:c", "urn:a urn:b", "", false},
      {"", "urn:a urn:b", "", true},  // a URI also admits no namespace
      {"urn:x", "urn:a  urn:b", "", false},
      {"", "", "", true},  // an empty restriction admits no namespace only
      {"urn:a", "", "", false},
      {"URN:A", "urn:a", "", false},  // exact comparison
      {"urn:ab", "urn:a", "", false},
      {"urn:a", "urn:ab", "", false},
      {"urn:x", "##anything", "", false},  // not a keyword: a URI
      {"urn:x", "urn:a ##any", "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.ns) + " / " + c.restriction + " / " + c.target);
    EXPECT_EQ(
        CProbe::IsNamespaceValid(U(c.ns).c_str(), U(c.restriction).c_str(), U(c.target).c_str()),
        c.valid);
  }
  EXPECT_TRUE(CProbe::IsNamespaceValid(nullptr, nullptr, nullptr));
  EXPECT_NO_THROW(CProbe::TestNamespace(VX_T("urn:a"), VX_T("urn:a"), VX_T("")));
  EXPECT_VX_THROW(CProbe::TestNamespace(VX_T("urn:x"), VX_T("##other"), VX_T("urn:x")),
                  CVxInvalidNamespaceException,
                  "Invalid namespace [urn:x]. The namespace must be one of [##other] where the "
                  "target namespace is [urn:x]");
}

TEST(CElement, ConstructionTestsItsArguments) {
  EXPECT_VX_THROW(new CElement(VX_T("e"), VX_T("##other")), CVxInvalidNamespaceException,
                  "Invalid Namespace [##other]");
  EXPECT_VX_THROW(new CElement(VX_T("e"), VX_T("##targetNamespace")), CVxInvalidNamespaceException,
                  "Invalid Namespace [##targetNamespace]");
  const unsigned short* none = nullptr;
  EXPECT_VX_THROW(new CElement(none, none, none, none), CVxInvalidNamespaceException,
                  "Element Name must have a value");
  EXPECT_VX_THROW(new CElement(VX_T("e"), VX_T(""), none, none), CVxInvalidNamespaceException,
                  "Namespace Restriction must have a value");
  EXPECT_VX_THROW(new CElement(VX_T("e"), VX_T(""), VX_T("##any"), none),
                  CVxInvalidNamespaceException, "Target Namespace must have a value");
  EXPECT_VX_THROW(new CElement(VX_T("e"), VX_T("urn:x"), VX_T("##local"), VX_T("")),
                  CVxInvalidNamespaceException,
                  "Invalid namespace [urn:x]. The namespace must be one of [##local] where the "
                  "target namespace is []");
  CSmartPtr<CElement> e = new CElement(VX_T("e"), VX_T("urn:x"), VX_T("##other"), VX_T("urn:t"));
  EXPECT_EQ(ToUtf8(e->GetName()), "e");
  EXPECT_EQ(ToUtf8(e->GetNamespace()), "urn:x");
  EXPECT_EQ(e->GetAttributes()->GetCount(), 0);
  EXPECT_EQ(e->GetChildElements()->GetCount(), 0);
  // Setters do not test.
  e->SetNamespace(VX_T("urn:t"));
  e->SetName(VX_T("f"));
  e->SetText(VX_T("t"));
  EXPECT_EQ(Xml(e), "<AA:f xmlns:AA=\"urn:t\">t</AA:f>");
}

TEST(CElementCol, TakesElementsOfAnyNamespace) {
  // An empty namespace and a URI restriction: accepted, but Add(name) has
  // no namespace to give.
  CSmartPtr<CElementCol> col = new CElementCol(VX_T(""), VX_T("urn:a"), VX_T(""), 0, -1);
  EXPECT_VX_THROW(col->Add(VX_T("x")), CVxInvalidStateException,
                  "A Namespace has not been set for this Collection");
  CSmartPtr<CElementCol> keyword = new CElementCol(VX_T(""), VX_T("##other"), VX_T("urn:t"), 0, -1);
  EXPECT_VX_THROW(keyword->Add(VX_T("x")), CVxInvalidStateException,
                  "A Namespace has not been set for this Collection");
  EXPECT_VX_THROW(CElementCol(VX_T("urn:x"), VX_T("urn:a"), VX_T(""), 0, -1),
                  CVxInvalidNamespaceException,
                  "Invalid namespace [urn:x]. The namespace must be one of [urn:a] where the "
                  "target namespace is []");
  // Whatever it was built with, it adds and reads elements of any namespace.
  col->Add(VX_T("b"), VX_T("urn:elsewhere"));
  col->Add(new CElement(VX_T("c"), VX_T("urn:other")));
  EXPECT_VX_THROW(col->Add(static_cast<CElement*>(nullptr)), CVxInvalidParamException,
                  "A collection cannot hold a NULL item");
  CXmlDocument doc;
  doc.LoadXml(VX_T("<r><d xmlns='urn:d'/><e/></r>"));
  CXmlElement* root = doc.GetDocumentElement();
  EXPECT_EQ(
      CXmlObjectBase::FromXml_Int(col, root, root->GetFirstElement(), CXmlSerializationContext()),
      nullptr);
  EXPECT_EQ(Names(*col), "b;c;d;e;");
  EXPECT_EQ(ToUtf8(col->Item(2)->GetNamespace()), "urn:d");
  EXPECT_VX_THROW(col->Item(4), CVxInvalidParamException, "Index 4 is out of range, use 0 - 4");
  // The element namespace is what Add(name) uses.
  CSmartPtr<CElementCol> named = new CElementCol(VX_T("urn:n"), VX_T("##any"), VX_T("urn:t"), 1, 1);
  EXPECT_EQ(ToUtf8(named->Add(VX_T("x"))->GetNamespace()), "urn:n");
  EXPECT_EQ(ToUtf8(named->GetNamespace()), "urn:t");
  // The count bounds passed are not used.
  named->Add(VX_T("y"));
  EXPECT_NO_THROW(named->ValidateCount(CXmlSerializationContext()));
}

TEST(CElementCol, ReadsARunOfOneNameOnlyWhenLocked) {
  CXmlDocument doc;
  doc.LoadXml(VX_T("<r xmlns:a='urn:a'><a:x/><a:x>2</a:x><x/><a:y/></r>"));
  CXmlElement* root = doc.GetDocumentElement();
  CSmartPtr<CElementCol> col = new CElementCol(VX_T(""), VX_T("##any"), VX_T(""), 0, -1);
  CXmlElement* left = col->FromXmlLockElementName_Int(
      U("x"), U("urn:a"), root, root->GetFirstElement(), CXmlSerializationContext());
  ASSERT_NE(left, nullptr);
  EXPECT_EQ(ToUtf8(left->GetNamespaceURI()), "");  // the <x/> without namespace
  EXPECT_EQ(col->GetCount(), 2);
  EXPECT_EQ(ToUtf8(col->Item(1)->GetText()), "2");
}

TEST(CElementCol, AddingAndReadingTellTheListenersOncePerElement) {
  CSmartPtr<CElementCol> col = new CElementCol(VX_T("urn:n"), VX_T("##any"), VX_T(""), 0, -1);
  CSmartPtr<vxtest::CListener> listener = new vxtest::CListener;
  col->AddEventListener(listener);
  CSmartPtr<CElement> first = col->Add(VX_T("a"));
  col->Add(VX_T("b"), VX_T("urn:b"));
  col->Add(new CElement(VX_T("c")));
  col->AddBefore(first, new CElement(VX_T("z")));
  col->AddAfter(first, new CElement(VX_T("y")));
  EXPECT_EQ(listener->events, 5);
  EXPECT_EQ(Names(*col), "z;a;y;b;c;");
  // Reading: once per element read, not per descendant.
  CXmlDocument doc;
  doc.LoadXml(VX_T("<r><a><deep/></a><b/><c/></r>"));
  CXmlElement* root = doc.GetDocumentElement();
  CXmlObjectBase::FromXml_Int(col, root, root->GetFirstElement(), CXmlSerializationContext());
  EXPECT_EQ(listener->events, 8);
  EXPECT_EQ(Names(*col->Item(5)->GetChildElements()), "deep;");
  col->RemoveEventListener(listener);
}

TEST(CAttributeCol, TakesItsNamespaceFromAUriRestriction) {
  struct Case {
    const char* ns;
    const char* restriction;
    const char* expected;
  } const cases[] = {
      {"", "urn:a urn:b", "urn:a"},
      {"", "##any", ""},
      {"", "#a", ""},
      {"", "a#", ""},
      {"", "ab", "ab"},
      {"", "a", ""},
      {"urn:x", "urn:a", "urn:x"},
      {"", " urn:a", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.restriction);
    CSmartPtr<CAttributeCol> col =
        new CAttributeCol(U(c.ns).c_str(), U(c.restriction).c_str(), VX_T(""));
    EXPECT_EQ(ToUtf8(col->GetNamespace()), c.expected);
  }
}

TEST(CAttributeCol, AppliesItsRestrictionWhenAddingAndReading) {
  CSmartPtr<CAttributeCol> local = new CAttributeCol(VX_T(""), VX_T("##local"), VX_T("urn:t"));
  CSmartPtr<vxtest::CListener> listener = new vxtest::CListener;
  local->AddEventListener(listener);
  local->Add(VX_T("a"));
  local->Add(VX_T("b"), VX_T("2"));
  EXPECT_VX_THROW(local->Add(VX_T("c"), VX_T("3"), VX_T("urn:x")), CVxInvalidNamespaceException,
                  "Invalid namespace [urn:x]. The namespace must be one of [##local] where the "
                  "target namespace is [urn:t]");
  EXPECT_EQ(local->GetCount(), 2);
  EXPECT_EQ(listener->events, 0);  // adding attributes tells nobody

  CXmlDocument doc;
  doc.LoadXml(VX_T("<e one='1' xmlns:x='urn:x' x:two='2' three='3'/>"));
  CXmlElement* e = doc.GetDocumentElement();
  EXPECT_VX_THROW(CXmlObjectBase::FromXml_Int(local, e, nullptr, CXmlSerializationContext()),
                  CVxInvalidNamespaceException,
                  "Invalid Attribute [two]. The attributes namespace is Inappropriate.");
  EXPECT_EQ(local->GetCount(), 3);  // "one" was taken before the failure
  EXPECT_EQ(ToUtf8(local->Item(2)->GetName()), "one");

  // An attribute object is added as it is, without a test.
  CSmartPtr<CAttributeCol> any = new CAttributeCol(VX_T(""), VX_T("##any"), VX_T(""));
  CXmlElement* current = e->GetFirstElement();
  EXPECT_EQ(CXmlObjectBase::FromXml_Int(any, e, current, CXmlSerializationContext()), current);
  local->Add(any->Item(1));
  EXPECT_EQ(ToUtf8(local->Item(3)->GetNamespace()), "urn:x");
  local->AddAfter(local->Item(0), any->Item(0));  // the base's insertion tells
  EXPECT_EQ(listener->events, 1);
  std::string names;
  for (const CAttribute& a : *local)
    names += ToUtf8(a.GetName()) + "=" + ToUtf8(a.GetValue()) + ";";
  EXPECT_EQ(names, "a=;one=1;b=2;one=1;two=2;");
  local->RemoveEventListener(listener);
}

TEST(CElement, WritesItsTextAfterItsChildren) {
  CSmartPtr<CElement> p = new CElement(VX_T("p"));
  p->SetText(VX_T("tail & <more>"));
  p->GetAttributes()->Add(VX_T("a"), VX_T("1"));
  p->GetAttributes()->Add(VX_T("b"), VX_T("\"2\""), VX_T("urn:b"));
  CSmartPtr<CElement> c = p->GetChildElements()->Add(VX_T("c"), VX_T("urn:c"));
  c->SetText(VX_T("inner"));
  p->GetChildElements()->Add(new CElement(VX_T("d")));
  p->GetChildElements()->Add(new CCustom);  // writes itself
  EXPECT_EQ(Xml(p),
            "<p a=\"1\" xmlns:AA=\"urn:b\" AA:b=\"&quot;2&quot;\"><AB:c xmlns:AB=\"urn:c\">inner"
            "</AB:c><d/><special/>tail &amp; &lt;more&gt;</p>");
  // Indented, as any output.
  EXPECT_EQ(ToUtf8(c->ToXml(false, true, EOLType_LF)), "<AA:c xmlns:AA=\"urn:c\">inner</AA:c>\n");
}

TEST(CElement, ReadsWhatItWrites) {
  CSmartPtr<CElement> e = new CElement(VX_T("x"));
  e->FromXml(VX_T("<p a='1' xmlns:x='urn:x' x:b='2'>t1<c xmlns='urn:c'>inner<g/></c>t2<d/></p>"));
  EXPECT_EQ(ToUtf8(e->GetName()), "p");
  EXPECT_EQ(ToUtf8(e->GetText()), "t1t2");
  EXPECT_EQ(e->GetAttributes()->GetCount(), 2);
  EXPECT_EQ(ToUtf8(e->GetAttributes()->Item(1)->GetNamespace()), "urn:x");
  CSmartPtr<CElementCol> children = e->GetChildElements();
  EXPECT_EQ(Names(*children), "c;d;");
  EXPECT_EQ(ToUtf8(children->Item(0)->GetNamespace()), "urn:c");
  EXPECT_EQ(ToUtf8(children->Item(0)->GetText()), "inner");
  EXPECT_EQ(Names(*children->Item(0)->GetChildElements()), "g;");
  EXPECT_EQ(ToUtf8(children->Item(0)->GetChildElements()->Item(0)->GetNamespace()), "urn:c");

  std::string written = Xml(e);
  CSmartPtr<CElement> again = new CElement(VX_T("y"));
  again->FromXml(U(written).c_str());
  EXPECT_EQ(Xml(again), written);

  // A root in a namespace the element refuses is not read.
  CSmartPtr<CElement> strict = new CElement(VX_T("x"), VX_T("urn:a"));
  EXPECT_VX_THROW(strict->FromXml(VX_T("<x xmlns='urn:b'><y/></x>")), CVxInvalidNamespaceException,
                  "Invalid namespace [urn:b]. The namespace must be one of [urn:a] where the "
                  "target namespace is []");
  EXPECT_EQ(strict->GetChildElements()->GetCount(), 0);
  CXmlDocument doc;
  doc.LoadXml(VX_T("<x xmlns='urn:b'/>"));
  CXmlElement* root = doc.GetDocumentElement();
  EXPECT_EQ(CXmlObjectBase::FromXml_Int(strict, root, root, CXmlSerializationContext()), root);
  EXPECT_VX_THROW(e->FromXml(VX_T("")), CVxException, "XML String is empty!");
}

namespace {

// Everything an element holds, as text: names, namespaces, attributes, text.
std::string Describe(const CElement& root) {
  std::string out;
  std::vector<std::pair<CSmartPtr<CElement>, int>> stack{{const_cast<CElement*>(&root), 0}};
  while (!stack.empty()) {
    CSmartPtr<CElement> e = stack.back().first;
    int depth = stack.back().second;
    stack.pop_back();
    out += std::string(depth, ' ') + "{" + ToUtf8(e->GetNamespace()) + "}" + ToUtf8(e->GetName());
    for (const CAttribute& a : *e->GetAttributes())
      out +=
          " {" + ToUtf8(a.GetNamespace()) + "}" + ToUtf8(a.GetName()) + "=" + ToUtf8(a.GetValue());
    out += " [" + ToUtf8(e->GetText()) + "]\n";
    CSmartPtr<CElementCol> children = e->GetChildElements();
    for (int i = children->GetCount(); i-- > 0;) stack.push_back({children->Item(i), depth + 1});
  }
  return out;
}

const char* const kMixed =
    "<p xmlns='urn:a' a='1' xmlns:b='urn:b' b:x='2'>t1<c>in<g b:y='3'/></c>t2<b:d/></p>";

}  // namespace

TEST(CElement, ReadContentIsTheSameWhetherMadeAtOnceOrWhenAskedFor) {
  // Read into a fresh element, the content is made when asked for; read
  // into one that already has a collection, it is made at once.
  CSmartPtr<CElement> lazy = new CElement(VX_T("x"));
  lazy->FromXml(U(kMixed).c_str());
  CSmartPtr<CElement> eager = new CElement(VX_T("x"));
  eager->GetAttributes();
  eager->FromXml(U(kMixed).c_str());
  std::string written = Xml(lazy);  // written before anything was made
  EXPECT_EQ(written, Xml(eager));
  // The text stays where it was among the children, at every level; the
  // prefix declared on the element is kept.
  EXPECT_NE(written.find(">t1<AA:c>in<AA:g b:y=\"3\"/></AA:c>t2<b:d/></AA:p>"),
            std::string::npos)
      << written;
  EXPECT_EQ(Describe(*lazy), Describe(*eager));
  EXPECT_EQ(Describe(*lazy),
            "{urn:a}p {}a=1 {urn:b}x=2 [t1t2]\n {urn:a}c [in]\n  {urn:a}g {urn:b}y=3 []\n"
            " {urn:b}d []\n");
  EXPECT_EQ(Xml(lazy), written);  // and after
  // Collections keep the namespace the element was made with.
  for (CElement* e : {lazy.get(), eager.get()}) {
    EXPECT_VX_THROW(e->GetChildElements()->Add(VX_T("n")), CVxInvalidStateException,
                    "A Namespace has not been set for this Collection");
    EXPECT_EQ(
        ToUtf8(e->GetChildElements()->Item(0)->GetChildElements()->Add(VX_T("n"))->GetNamespace()),
        "urn:a");
  }
}

TEST(CElement, ChangesToReadContentAreWrittenWithWhatWasNotTouched) {
  CSmartPtr<CElement> e = new CElement(VX_T("x"));
  e->FromXml(U(kMixed).c_str());
  CSmartPtr<CElement> c = e->GetChildElements()->Item(0);  // makes p's children only
  c->SetText(VX_T("changed"));
  EXPECT_EQ(
      Xml(e),
      "<AA:p xmlns:AA=\"urn:a\" xmlns:b=\"urn:b\" a=\"1\" b:x=\"2\">t1<AA:c><AA:g b:y=\"3\"/>"
      "changed</AA:c>t2<b:d/></AA:p>");
  // A copy shares the collections, made first if need be.
  CSmartPtr<CElement> other = new CElement(VX_T("x"));
  other->FromXml(U(kMixed).c_str());
  CSmartPtr<CElement> copy = new CElement(*other);
  copy->GetAttributes()->Add(VX_T("z"), VX_T("9"));
  EXPECT_EQ(other->GetAttributes()->GetCount(), 3);
  // A namespace change makes the collections first, with the old namespace.
  CSmartPtr<CElement> renamed = new CElement(VX_T("x"));
  renamed->FromXml(U(kMixed).c_str());
  CSmartPtr<CElement> g = renamed->GetChildElements()->Item(0)->GetChildElements()->Item(0);
  g->SetNamespace(VX_T("urn:z"));
  EXPECT_EQ(ToUtf8(g->GetAttributes()->Add(VX_T("w"))->GetNamespace()), "urn:a");
  EXPECT_EQ(ToUtf8(g->GetAttributes()->Item(0)->GetValue()), "3");
  // Reading again adds to what is held.
  renamed->FromXml(VX_T("<q k='v'><r/></q>"));
  EXPECT_EQ(ToUtf8(renamed->GetName()), "q");
  EXPECT_EQ(renamed->GetAttributes()->GetCount(), 3);
  EXPECT_EQ(Names(*renamed->GetChildElements()), "c;d;r;");
}

TEST(CElement, NamespaceRestrictionsReachContentNotMadeYet) {
  CSmartPtr<CElement> e = new CElement(VX_T("x"));
  e->FromXml(
      VX_T("<p xmlns='urn:a' xmlns:b='urn:b' b:x='2'><c xmlns='urn:c'><g b:y='3'/></c></p>"));
  EXPECT_NO_THROW(e->SetNamespaceRestrictions(VX_T("urn:a urn:b urn:c"), VX_T("")));
  EXPECT_VX_THROW(e->SetNamespaceRestrictions(VX_T("urn:a urn:c"), VX_T("")),
                  CVxInvalidNamespaceException,
                  "Invalid namespace [urn:b]. The namespace must be one of [urn:a urn:c] where "
                  "the target namespace is []");
  EXPECT_VX_THROW(e->SetNamespaceRestrictions(VX_T("urn:a urn:b"), VX_T("")),
                  CVxInvalidNamespaceException,
                  "The namespace urn:c in the class c is invalid against restriction urn:a urn:b");
  e->GetChildElements();  // p's children made, c's still in the snapshot
  EXPECT_VX_THROW(e->SetNamespaceRestrictions(VX_T("urn:a urn:c"), VX_T("")),
                  CVxInvalidNamespaceException,
                  "Invalid namespace [urn:b]. The namespace must be one of [urn:a urn:c] where "
                  "the target namespace is []");
}

TEST(CElement, CopiesAnyBindableObjectAndBindsOthersFromItsText) {
  CSmartPtr<vxtest::CTestNode> node = new vxtest::CTestNode("list", "urn:l");
  node->text = U("text");
  node->children.push_back(new vxtest::CTestNode("item", "urn:l"));
  CSmartPtr<CElement> copy = new CElement(static_cast<CXmlObjectBase*>(node));
  // The same document; untyped content declares no default namespace.
  EXPECT_EQ(Xml(node), "<list xmlns=\"urn:l\" root=\"yes\"><item root=\"no\"/>text</list>");
  EXPECT_EQ(Xml(copy),
            "<AA:list xmlns:AA=\"urn:l\" root=\"yes\"><AA:item root=\"no\"/>text</AA:list>");
  EXPECT_EQ(ToUtf8(copy->GetNamespace()), "urn:l");
  EXPECT_VX_THROW(new CElement(static_cast<CXmlObjectBase*>(nullptr)), CVxInvalidParamException,
                  "The object to copy is NULL");

  CSmartPtr<CElement> list = new CElement(VX_T("list"));
  list->GetChildElements()->Add(VX_T("item"), VX_T(""))->SetText(VX_T("one"));
  list->GetChildElements()->Add(VX_T("item"), VX_T(""))->SetText(VX_T("two"));
  CSmartPtr<vxtest::CTestNode> bound = new vxtest::CTestNode("before");
  CXmlSerializationContext context;
  bound->FromXmlElement(static_cast<const CElement*>(list), context);
  EXPECT_EQ(bound->Name(), "list");
  EXPECT_EQ(bound->items, (std::vector<std::string>{"one", "two"}));
  EXPECT_VX_THROW(bound->FromXmlElement(static_cast<const CElement*>(nullptr), context),
                  CVxInvalidParamException, "The element to read from is NULL");
}

TEST(CElement, SetNamespaceRestrictionsTestsTheWholeSubtree) {
  CSmartPtr<CElement> r = new CElement(VX_T("r"), VX_T("urn:a"));
  r->GetAttributes()->Add(VX_T("at"), VX_T("1"), VX_T("urn:c"));
  CSmartPtr<CElement> c = r->GetChildElements()->Add(VX_T("c"), VX_T("urn:b"));
  c->GetChildElements()->Add(VX_T("g"), VX_T("urn:d"));
  EXPECT_NO_THROW(r->SetNamespaceRestrictions(VX_T("urn:a urn:b urn:c urn:d"), VX_T("")));
  EXPECT_NO_THROW(r->SetNamespaceRestrictions(VX_T("##other"), VX_T("urn:t")));

  // The element's own failure, wrapped once.
  try {
    r->SetNamespaceRestrictions(VX_T("urn:b"), VX_T(""));
    ADD_FAILURE() << "did not throw";
  } catch (const CVxInvalidNamespaceException& e) {
    EXPECT_EQ(ToUtf8(e.GetFullMessage()),
              "The namespace urn:a in the class r is invalid against restriction urn:b\n"
              "Invalid namespace [urn:a]. The namespace must be one of [urn:b] where the target "
              "namespace is []");
  }
  // An attribute's failure, as it is.
  EXPECT_VX_THROW(r->SetNamespaceRestrictions(VX_T("urn:a urn:b"), VX_T("")),
                  CVxInvalidNamespaceException,
                  "Invalid namespace [urn:c]. The namespace must be one of [urn:a urn:b] where the "
                  "target namespace is []");
  // A descendant's failure, wrapped by the descendant.
  EXPECT_VX_THROW(r->SetNamespaceRestrictions(VX_T("urn:a urn:c urn:d"), VX_T("")),
                  CVxInvalidNamespaceException,
                  "The namespace urn:b in the class c is invalid against restriction urn:a urn:c "
                  "urn:d");
  EXPECT_VX_THROW(r->SetNamespaceRestrictions(VX_T("urn:a urn:b urn:c"), VX_T("")),
                  CVxInvalidNamespaceException,
                  "The namespace urn:d in the class g is invalid against restriction urn:a urn:b "
                  "urn:c");
}

namespace {

// What a written <v> says, in document order: each element's expanded name,
// the meaning of v's xsi:type and of each <code>'s text, read with the
// bindings in scope where they stand.
std::string Meanings(const CXmlDocument& document) {
  auto meaning = [](const CXmlElement& at, const String& value) {
    size_t colon = value.find(u':');
    String uri;
    if (colon == String::npos || !at.LookupNamespaceURI(value.substr(0, colon), uri))
      return "(" + ToUtf8(value) + ")";
    return "{" + ToUtf8(uri) + "}" + ToUtf8(value.substr(colon + 1));
  };
  const CXmlElement* root = document.GetDocumentElement();
  std::string out = meaning(
      *root, root->GetAttribute(U("type"), U("http://www.w3.org/2001/XMLSchema-instance")));
  std::vector<const CXmlElement*> stack{root};
  while (!stack.empty()) {
    const CXmlElement* e = stack.back();
    stack.pop_back();
    out += " {" + ToUtf8(e->GetNamespaceURI()) + "}" + ToUtf8(e->GetLocalName());
    if (e->GetLocalName() == U("code")) out += "=" + meaning(*e, e->GetText());
    std::vector<const CXmlElement*> children;
    for (const CXmlElement* c = e->GetFirstElement(); c; c = c->GetNextSiblingElement())
      children.push_back(c);
    stack.insert(stack.end(), children.rbegin(), children.rend());
  }
  return out;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

}  // namespace

TEST(CElement, KeepsTheNamespaceDeclarationsItsValuesNeed) {
  // QNames in an attribute and in texts, whose prefixes are declared outside
  // the untyped content (xs, f), on it (xsi) and again inside it (f).
  CXmlDocument source;
  source.LoadXml(VX_T(
      "<env xmlns:xs='http://www.w3.org/2001/XMLSchema' xmlns:f='urn:faults'>"
      "<v xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance' xsi:type='xs:string'>"
      "<code>f:Client</code><f:inner xmlns:f='urn:other'><code>f:Server</code></f:inner>"
      "<code>f:Client</code></v></env>"));
  const std::string expected =
      "{http://www.w3.org/2001/XMLSchema}string {}v {}code={urn:faults}Client "
      "{urn:other}inner {}code={urn:other}Server {}code={urn:faults}Client";
  CXmlElement* v = source.GetDocumentElement()->GetFirstElement();
  const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext();

  // Read into a snapshot, read object by object, made objects from the
  // snapshot, copied, and read by a collection.
  CSmartPtr<CElement> lazy = new CElement(VX_T("x"));
  CXmlObjectBase::FromXml_Int(lazy, v, v, context);
  CSmartPtr<CElement> eager = new CElement(VX_T("x"));
  eager->GetChildElements();
  CXmlObjectBase::FromXml_Int(eager, v, v, context);
  CSmartPtr<CElement> made = new CElement(VX_T("x"));
  CXmlObjectBase::FromXml_Int(made, v, v, context);
  made->GetChildElements()->Item(1)->GetChildElements();
  CSmartPtr<CElement> copy = new CElement(*made);
  CSmartPtr<CElementCol> collection = new CElementCol(VX_T(""), VX_T("##any"), VX_T(""), 0, -1);
  CXmlObjectBase::FromXml_Int(collection, v, v, context);
  ASSERT_EQ(collection->GetCount(), 1);
  // The prefixes are the source's, the names' included.
  EXPECT_EQ(Xml(lazy),
            "<v xmlns:f=\"urn:faults\" xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
            "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:type=\"xs:string\">"
            "<code>f:Client</code><f:inner xmlns:f=\"urn:other\"><code>f:Server</code></f:inner>"
            "<code>f:Client</code></v>");

  for (CElement* e : {lazy.get(), eager.get(), made.get(), copy.get(),
                      collection->Item(0).get()}) {
    std::string text = Xml(e);
    SCOPED_TRACE(text);
    CXmlDocument written;
    written.LoadXml(text.c_str());
    EXPECT_EQ(Meanings(written), expected);
    // Declared where the output did not bind them yet, and only there.
    EXPECT_EQ(Count(text, "xmlns:xs="), 1u);
    EXPECT_EQ(Count(text, "xmlns:xsi="), 1u);
    EXPECT_EQ(Count(text, "xmlns:f="), 2u);
    EXPECT_NE(text.find("xsi:type=\"xs:string\""), std::string::npos);
    CBinaryData fi = e->ToFastInfosetStream();
    CXmlDocument fromFi;
    fromFi.LoadXmlStream(const_cast<unsigned char*>(fi.GetData()), fi.GetLength());
    EXPECT_EQ(Meanings(fromFi), expected);
  }
  // Elements made in code declare only what their names need.
  CSmartPtr<CElement> built = new CElement(VX_T("v"));
  built->GetChildElements()->Add(VX_T("code"), VX_T("urn:faults"))->SetText(VX_T("f:Client"));
  EXPECT_EQ(Xml(built), "<v><AA:code xmlns:AA=\"urn:faults\">f:Client</AA:code></v>");
}

TEST(CElement, CopiesShareTheCollections) {
  CSmartPtr<CElement> a = new CElement(VX_T("a"));
  CSmartPtr<CElement> b = new CElement(*a);
  b->GetChildElements()->Add(VX_T("x"), VX_T(""));
  b->SetText(VX_T("only b"));
  EXPECT_EQ(Xml(a), "<a><x/></a>");
  EXPECT_EQ(Xml(b), "<a><x/>only b</a>");
  CSmartPtr<CAttribute> attribute = a->GetAttributes()->Add(VX_T("k"), VX_T("v"));
  CSmartPtr<CAttribute> same = a->GetAttributes()->Item(0);
  EXPECT_EQ(attribute.get(), same.get());
  EXPECT_VX_THROW(
      CXmlObjectBase::FromXml_Int(attribute, nullptr, nullptr, CXmlSerializationContext()),
      CVxException, "This should be done by the collection");
}

TEST(CXmlSerializationContext, AdditionalRootAttributesAreSharedByCopies) {
  CXmlSerializationContext context;
  EXPECT_EQ(context.FindAdditionalRootAttributes(), nullptr);
  CSmartPtr<CAttributeCol> attributes = context.GetAdditionalRootAttributes();
  EXPECT_EQ(attributes->GetCount(), 0);
  EXPECT_EQ(context.GetAdditionalRootAttributes().get(), attributes.get());
  EXPECT_EQ(context.FindAdditionalRootAttributes(), attributes.get());

  CXmlSerializationContext copy(context);
  CXmlSerializationContext assigned;
  assigned = context;
  attributes->Add(VX_T("version"), VX_T("2"));
  copy.GetAdditionalRootAttributes()->Add(VX_T("id"), VX_T("7"), VX_T("urn:i"));

  CSmartPtr<CElement> root = new CElement(VX_T("r"));
  root->GetChildElements()->Add(VX_T("c"), VX_T(""));
  const char* expected = "<r version=\"2\" xmlns:AA=\"urn:i\" AA:id=\"7\"><c/></r>";
  EXPECT_EQ(Xml(root, context), expected);  // on the root only
  EXPECT_EQ(Xml(root, assigned), expected);
  EXPECT_EQ(Xml(root), "<r><c/></r>");

  // The helper the driver of generated classes calls after opening the root.
  CXmlTextWriter writer;
  writer.SetIndent(false);
  writer.WriteStartElement(U("g"), String());
  CAttributeCol::WriteAdditionalRootAttributes(&writer, copy);
  CAttributeCol::WriteAdditionalRootAttributes(&writer, CXmlSerializationContext());
  writer.WriteEndElement();
  EXPECT_EQ(ToUtf8(writer.GetString()), "<g version=\"2\" xmlns:AA=\"urn:i\" AA:id=\"7\"/>");
}

// 300,000 levels: each of these would overflow the stack if it recursed.
// One tree is alive at a time, but for the copy and its source.
TEST(CElement, DeepTreesAreWrittenReadCopiedAndDestroyed) {
  const int kDepth = 300000;
  String written;
  {
    CSmartPtr<CElement> root = new CElement(VX_T("e"));
    CSmartPtr<CElement> e = root;
    for (int i = 1; i < kDepth; ++i) e = e->GetChildElements()->Add(VX_T("e"), VX_T(""));
    e->SetText(VX_T("deep"));
    e = nullptr;
    written = root->ToXml(false, false, EOLType_LF);
    ASSERT_EQ(written.size(), static_cast<size_t>(kDepth) * 7 + 4);
    EXPECT_NO_THROW(root->SetNamespaceRestrictions(VX_T("##local"), VX_T("")));
  }
  {
    CSmartPtr<CElement> read = new CElement(VX_T("x"));
    read->FromXml(written.c_str());
    EXPECT_NO_THROW(read->SetNamespaceRestrictions(VX_T("##local"), VX_T("")));
    CSmartPtr<CElement> copy = new CElement(static_cast<CXmlObjectBase*>(read));
    read = nullptr;
    EXPECT_TRUE(copy->ToXml(false, false, EOLType_LF) == written);
    EXPECT_VX_THROW(copy->SetNamespaceRestrictions(VX_T("##targetNamespace"), VX_T("urn:a")),
                    CVxInvalidNamespaceException,
                    "The namespace  in the class e is invalid against restriction "
                    "##targetNamespace");
  }
  CSmartPtr<CElement> leaf;
  {
    // Every level made from what was read, down to the leaf.
    CSmartPtr<CElement> read = new CElement(VX_T("x"));
    read->FromXml(written.c_str());
    leaf = read;
    for (int i = 1; i < kDepth; ++i) leaf = leaf->GetChildElements()->Item(0);
  }
  // The tree is gone but for the leaf held here.
  EXPECT_EQ(ToUtf8(leaf->GetText()), "deep");
  // A deep subtree under a collection that dies on its own.
  CSmartPtr<CElementCol> col = new CElementCol(VX_T(""), VX_T("##any"), VX_T(""), 0, -1);
  CSmartPtr<CElement> e = col->Add(VX_T("e"), VX_T(""));
  for (int i = 1; i < kDepth; ++i) e = e->GetChildElements()->Add(VX_T("e"), VX_T(""));
  e = nullptr;
  col = nullptr;
}
