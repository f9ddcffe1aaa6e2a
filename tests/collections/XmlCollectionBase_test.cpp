#include "vxbind/collections/XmlCollectionBase.h"

#include <random>
#include <string>
#include <vector>

#include "support/Nodes.h"
#include "support/Text.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/writers/XmlTextWriter.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

// An item as generated classes are: <item>id</item>, and an attribute aN="1"
// when its attributes go on the parent's start tag.
class CItem : public CXmlObjectBase {
 public:
  explicit CItem(int value, int* destroyed = nullptr) : id(value), m_destroyed(destroyed) {
    SetElementName(VX_T("item"));
  }
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return String(); }
  int id;

 protected:
  ~CItem() override {
    if (m_destroyed != nullptr) ++*m_destroyed;
  }
  String GetTargetNamespace() const override { return String(); }
  void AttributesToXml_Int(CXmlWriter* writer, const CXmlSerializationContext&) const override {
    writer->WriteAttribute(U("a" + std::to_string(id)), String(), U("1"));
  }
  void ToXml_Int(CXmlWriter* writer, bool, const unsigned short*, const CXmlSerializationContext&,
                 bool) const override {
    writer->WriteStartElement(GetElementName(), String());
    writer->WriteText(U(std::to_string(id)));
    writer->WriteEndElement();
  }
  CXmlElement* FromXml_Int(CXmlElement*, CXmlElement* current, const CXmlSerializationContext&,
                           bool) override {
    id = std::stoi(ToUtf8(current->GetText()));
    return current->GetNextSiblingElement();
  }

 private:
  int* m_destroyed;
};

// A typed collection of items, written the way the code generator writes
// them: the protected operations made public, typed access on top.
class CItemCol : public CXmlCollection {
 public:
  CItemCol(int minOccurs, int maxOccurs)
      : CXmlCollection(VX_T("item"), VX_T(""), minOccurs, maxOccurs) {}
  CItemCol(const CItemCol& other) = default;
  CItemCol& operator=(const CItemCol& other) = default;

  using CXmlCollection::AddAfterItem;
  using CXmlCollection::AddBeforeItem;
  using CXmlCollection::AddItemAt;
  using CXmlCollection::AppendItem;
  using CXmlCollection::GetNodeAtIndex;
  using CXmlCollection::GetNodeForItem;
  using CXmlCollection::PrependItem;
  using CXmlCollection::RemoveNode;
  using CXmlObjectBase::Choice_Read_Collection;
  using CXmlObjectBase::FireOnCollectionChangeEvent;

  int At(int index) const { return static_cast<CItem*>(GetNodeAtIndex(index)->GetItem())->id; }
  // The ids from head to tail, checking the links both ways.
  std::vector<int> Ids() const {
    std::vector<int> ids;
    const CNode* previous = nullptr;
    for (const CNode* n = GetHeadNode(); n != nullptr; n = n->GetNext()) {
      EXPECT_EQ(n->GetPrevious(), previous);
      ids.push_back(static_cast<CItem*>(n->GetItem())->id);
      previous = n;
    }
    EXPECT_EQ(GetTailNode(), previous);
    EXPECT_EQ(static_cast<int>(ids.size()), GetCount());
    return ids;
  }

 protected:
  void ToXml_Int(CXmlWriter* writer, bool, const unsigned short* namespaceUri,
                 const CXmlSerializationContext& context, bool) const override {
    ValidateCount(context);
    for (const CNode* n = GetHeadNode(); n != nullptr; n = n->GetNext())
      CXmlObjectBase::ToXml_Int(n->GetItem(), writer, false, namespaceUri, context, false);
  }
  CXmlElement* FromXml_Int(CXmlElement* element, CXmlElement* current,
                           const CXmlSerializationContext& context, bool) override {
    while (current != nullptr && DoesElementNameMatch(context, current, VX_T("item"), VX_T(""))) {
      CSmartPtr<CItem> item = new CItem(0);
      current = CXmlObjectBase::FromXml_Int(item, element, current, context);
      AppendItem(item);
    }
    return current;
  }
};

CSmartPtr<CItemCol> Filled(int count, int minOccurs = 0, int maxOccurs = -1) {
  CSmartPtr<CItemCol> c = new CItemCol(minOccurs, maxOccurs);
  for (int i = 0; i < count; ++i) c->AppendItem(new CItem(i));
  return c;
}

}  // namespace

TEST(CXmlCollectionBase, ValidateCountTestsTheMaximumFirst) {
  const char* const kMax = "The Maximum number of [item] elements allowed in this collection is ";
  const char* const kMin = "The Minimum number of [item] elements allowed in this collection is ";
  struct Case {
    int minOccurs, maxOccurs, count;
    std::string expected;  // "" when the count is fine
  } const cases[] = {
      {1, -1, 0, kMin + std::string("1")},
      {1, -1, 1, ""},
      {1, -1, 50, ""},
      {0, 3, 3, ""},
      {0, 3, 4, kMax + std::string("3")},
      {5, 3, 4, kMax + std::string("3")},  // both broken: the maximum is told
      {2, 2, 1, kMin + std::string("2")},
  };
  CXmlSerializationContext strict, lenient;
  lenient.SetIgnoreInvalidCollectionCounts(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count);
    CSmartPtr<CItemCol> col = Filled(c.count, c.minOccurs, c.maxOccurs);
    if (c.expected.empty()) {
      EXPECT_NO_THROW(col->ValidateCount(strict));
    } else {
      EXPECT_VX_THROW(col->ValidateCount(strict), CVxValidationException, c.expected);
    }
    EXPECT_NO_THROW(col->ValidateCount(lenient));
  }
}

TEST(CXmlCollection, IndexErrorsLeaveTheCollectionUnchanged) {
  CSmartPtr<CItemCol> c = Filled(3);
  EXPECT_VX_THROW(c->Remove(3), CVxInvalidParamException, "Index 3 is out of range, use 0 - 3");
  EXPECT_VX_THROW(c->Remove(-1), CVxInvalidParamException, "Index -1 is out of range, use 0 - 3");
  EXPECT_VX_THROW(c->GetNodeAtIndex(7), CVxInvalidParamException,
                  "Index 7 is out of range, use 0 - 3");
  // (An object a failed call did not take is the caller's: held here.)
  CSmartPtr<CItem> spare = new CItem(9);
  EXPECT_VX_THROW(c->AddItemAt(4, spare), CVxInvalidParamException, "Index out of range");
  EXPECT_VX_THROW(c->AddItemAt(-1, spare), CVxInvalidParamException, "Index out of range");
  EXPECT_EQ(c->Ids(), (std::vector<int>{0, 1, 2}));
  c->AddItemAt(3, new CItem(3));  // index == count appends
  c->AddItemAt(0, new CItem(-1));
  c->AddItemAt(2, new CItem(10));
  EXPECT_EQ(c->Ids(), (std::vector<int>{-1, 0, 10, 1, 2, 3}));
  CSmartPtr<CItemCol> empty = Filled(0);
  EXPECT_VX_THROW(empty->Remove(0), CVxInvalidParamException, "Index 0 is out of range, use 0 - 0");
}

TEST(CXmlCollection, InsertsBeforeAndAfterItemsFoundByIdentity) {
  CSmartPtr<CItemCol> c = Filled(0);
  CSmartPtr<CItem> a = new CItem(1), b = new CItem(2), x = new CItem(9);
  c->AppendItem(a);
  c->AppendItem(b);
  c->AddAfterItem(nullptr, new CItem(0));   // null: first
  c->AddBeforeItem(nullptr, new CItem(3));  // null: last
  c->AddAfterItem(a, new CItem(15));
  c->AddBeforeItem(a, new CItem(5));
  EXPECT_EQ(c->Ids(), (std::vector<int>{0, 5, 1, 15, 2, 3}));
  EXPECT_EQ(c->GetNodeForItem(b)->GetItem(), b.get());
  // An item that is not there: the message, and no node left behind.
  int destroyed = 0;
  {
    CSmartPtr<CItem> spare = new CItem(7, &destroyed);
    EXPECT_VX_THROW(c->AddAfterItem(x, spare), CVxInvalidParamException,
                    "The object was not found in the collection");
    EXPECT_VX_THROW(c->AddBeforeItem(x, spare), CVxInvalidParamException,
                    "The object was not found in the collection");
  }
  EXPECT_EQ(destroyed, 1);  // no node kept a reference
  EXPECT_VX_THROW(c->GetNodeForItem(x), CVxInvalidParamException,
                  "The object was not found in the collection");
  EXPECT_VX_THROW(c->AppendItem(nullptr), CVxInvalidParamException,
                  "A collection cannot hold a NULL item");
  // A node of another collection is not removed from this one.
  CSmartPtr<CItemCol> other = Filled(2);
  EXPECT_VX_THROW(c->RemoveNode(other->GetNodeAtIndex(1)), CVxInvalidParamException,
                  "The object was not found in the collection");
  EXPECT_VX_THROW(c->RemoveNode(nullptr), CVxInvalidParamException,
                  "The object was not found in the collection");
  EXPECT_EQ(other->Ids(), (std::vector<int>{0, 1}));
  EXPECT_EQ(c->Ids(), (std::vector<int>{0, 5, 1, 15, 2, 3}));
}

TEST(CXmlCollection, ListenersAreToldOncePerChange) {
  CSmartPtr<CItemCol> c = Filled(3);
  CSmartPtr<vxtest::CListener> one = new vxtest::CListener, twice = new vxtest::CListener;
  c->AddEventListener(one);
  c->AddEventListener(twice);
  c->AddEventListener(twice);
  c->Clear();  // three removals
  EXPECT_EQ(one->events, 3);
  EXPECT_EQ(twice->events, 6);
  EXPECT_EQ(one->lastSource, c.get());
  c->Clear();  // nothing to remove, nobody told
  EXPECT_EQ(one->events, 3);
  c->AppendItem(new CItem(1));
  c->PrependItem(new CItem(0));
  c->AddItemAt(1, new CItem(5));
  c->AddAfterItem(nullptr, new CItem(-1));
  c->Remove(0);
  EXPECT_EQ(one->events, 8);
  // Failed operations tell nobody.
  EXPECT_ANY_THROW(c->Remove(9));
  CSmartPtr<CItem> spare = new CItem(9);
  EXPECT_ANY_THROW(c->AddItemAt(9, spare));
  EXPECT_EQ(one->events, 8);
  c->RemoveEventListener(twice);  // every entry of it
  c->Remove(0);
  EXPECT_EQ(one->events, 9);
  EXPECT_EQ(twice->events, 16);
  EXPECT_FALSE(one->wrongKind || twice->wrongKind);
  // RemoveNode tells nobody: its callers do.
  c->RemoveNode(c->GetNodeAtIndex(0));
  EXPECT_EQ(one->events, 9);
  EXPECT_EQ(c->Ids(), (std::vector<int>{1}));
  CItemCol::FireOnCollectionChangeEvent(one, c);
  EXPECT_EQ(one->events, 10);
  c->RemoveEventListener(one);
}

TEST(CXmlCollection, ItemsLiveAsLongAsSomeCollectionHoldsThem) {
  int destroyed = 0;
  CSmartPtr<vxtest::CListener> listener = new vxtest::CListener;
  {
    CSmartPtr<CItemCol> c = new CItemCol(0, -1);
    c->AddEventListener(listener);
    for (int i = 0; i < 3; ++i) c->AppendItem(new CItem(i, &destroyed));
    {
      CSmartPtr<CItemCol> copy = new CItemCol(*c);  // own nodes, shared items
      EXPECT_EQ(copy->Ids(), (std::vector<int>{0, 1, 2}));
      copy->Remove(1);
      EXPECT_EQ(destroyed, 0);
      EXPECT_EQ(c->Ids(), (std::vector<int>{0, 1, 2}));
      EXPECT_EQ(listener->events, 3);  // the copy started without listeners
      CSmartPtr<CItemCol> assigned = Filled(5);
      *assigned = *c;
      EXPECT_EQ(assigned->Ids(), (std::vector<int>{0, 1, 2}));
    }
    EXPECT_EQ(destroyed, 0);
    c->Remove(0);
    EXPECT_EQ(destroyed, 1);
    c->RemoveEventListener(listener);
  }
  EXPECT_EQ(destroyed, 3);
}

TEST(CXmlCollection, IndexedAccessFollowsEveryChange) {
  // Random edits against a vector model, with indexed reads between them in
  // every order: the remembered position must never go stale.
  std::mt19937 rng(20240611);
  CSmartPtr<CItemCol> c = Filled(0);
  std::vector<int> model;
  std::vector<CSmartPtr<CItem>> handles;
  int next = 0;
  for (int step = 0; step < 4000; ++step) {
    int n = static_cast<int>(model.size());
    switch (rng() % 7) {
      case 0:
        c->AppendItem(new CItem(next));
        model.push_back(next++);
        break;
      case 1:
        c->PrependItem(new CItem(next));
        model.insert(model.begin(), next++);
        break;
      case 2: {
        int at = static_cast<int>(rng() % (n + 1));
        c->AddItemAt(at, new CItem(next));
        model.insert(model.begin() + at, next++);
        break;
      }
      case 4:
        if (n > 0) {
          int at = static_cast<int>(rng() % n);
          CXmlObjectBase* existing = c->GetNodeAtIndex(at)->GetItem();
          if (rng() % 2) {
            c->AddAfterItem(existing, new CItem(next));
            model.insert(model.begin() + at + 1, next++);
          } else {
            c->AddBeforeItem(existing, new CItem(next));
            model.insert(model.begin() + at, next++);
          }
        }
        break;
      case 3:
      case 5:  // by index, or by node
        if (n > 0) {
          int at = static_cast<int>(rng() % n);
          if (rng() % 2)
            c->Remove(at);
          else
            c->RemoveNode(c->GetNodeAtIndex(at));
          model.erase(model.begin() + at);
        }
        break;
      default:
        for (int i = 0; i < n; ++i) ASSERT_EQ(c->At(i), model[i]);
        for (int i = n; i-- > 0;) ASSERT_EQ(c->At(i), model[i]);
        break;
    }
    if (!model.empty()) {
      int at = static_cast<int>(rng() % model.size());
      ASSERT_EQ(c->At(at), model[at]);
    }
  }
  EXPECT_EQ(c->Ids(), model);
}

TEST(CXmlCollection, WalksAndRemovesByIndexAcrossAHundredThousandItems) {
  const int kCount = 100000;
  CSmartPtr<CItemCol> c = Filled(kCount);
  long long sum = 0;
  for (int i = 0; i < c->GetCount(); ++i) sum += c->At(i);
  for (int i = c->GetCount(); i-- > 0;) sum -= c->At(i);
  EXPECT_EQ(sum, 0);
  // Removing every other item while walking.
  for (int i = 0; i < c->GetCount(); ++i) c->Remove(i);
  ASSERT_EQ(c->GetCount(), kCount / 2);
  for (int i = 0; i < c->GetCount(); ++i) ASSERT_EQ(c->At(i), 2 * i + 1);
}

TEST(CXmlCollection, WritesAndReadsItsItemsAndTheirAttributes) {
  CSmartPtr<CItemCol> c = Filled(3);
  CXmlTextWriter writer;
  writer.SetIndent(false);
  writer.WriteStartElement(U("list"), String());
  CXmlObjectBase::AttributesToXml_Int(c, &writer, CXmlSerializationContext::GetDefaultContext());
  CXmlObjectBase::ToXml_Int(c, &writer, false, VX_T(""),
                            CXmlSerializationContext::GetDefaultContext(), false);
  writer.WriteEndElement();
  EXPECT_EQ(ToUtf8(writer.GetString()),
            "<list a0=\"1\" a1=\"1\" a2=\"1\"><item>0</item><item>1</item><item>2</item></list>");
  // A collection is never the root of an output.
  EXPECT_VX_THROW(c->ToXml(), CVxException,
                  "CXmlCollectionBase::GetTargetNamespace Should not be used from within a "
                  "Collection (program logic error)");
}

TEST(CXmlCollection, ChoiceReadCollectionReadsOnlyWhileNothingWasChosen) {
  CXmlDocument doc;
  doc.LoadXml(VX_T("<r><item>4</item><item>5</item><other/></r>"));
  CXmlElement* root = doc.GetDocumentElement();
  CXmlSerializationContext context;

  CSmartPtr<CItemCol> c = Filled(0, 0, -1);
  CXmlElement* current = root->GetFirstElement();
  int32_t count = 1;  // something was chosen already
  CItemCol::Choice_Read_Collection(c, root, current, count, context);
  EXPECT_EQ(c->GetCount(), 0);
  EXPECT_EQ(current, root->GetFirstElement());
  count = 0;
  CItemCol::Choice_Read_Collection(c, root, current, count, context);
  EXPECT_EQ(c->Ids(), (std::vector<int>{4, 5}));
  EXPECT_EQ(ToUtf8(current->GetLocalName()), "other");
  EXPECT_EQ(count, 1);
  count = 0;  // at <other/> nothing is taken and nothing changes
  CItemCol::Choice_Read_Collection(c, root, current, count, context);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(ToUtf8(current->GetLocalName()), "other");
  // The count is validated once the collection took something.
  CSmartPtr<CItemCol> atMostOne = Filled(0, 0, 1);
  current = root->GetFirstElement();
  EXPECT_VX_THROW(CItemCol::Choice_Read_Collection(atMostOne, root, current, count, context),
                  CVxValidationException,
                  "The Maximum number of [item] elements allowed in this collection is 1");
}

TEST(VxVariant, HoldsACollectionByCountedReference) {
  int destroyed = 0;
  {
    CSmartPtr<CItemCol> c = Filled(2);
    c->AppendItem(new CItem(7, &destroyed));
    VxVariant v;
    v.SetXmlCollection(c);
    EXPECT_EQ(v.GetItemType(), ItemType_XmlCollection);
    EXPECT_EQ(v.GetXmlCollection().get(), c.get());
    EXPECT_EQ(v.GetXmlObject().get(), static_cast<CXmlObjectBase*>(c.get()));
    VxVariant copy = v;
    v.SetXmlCollection(c);  // the same collection again
    c = nullptr;            // the variants keep it alive
    CSmartPtr<CXmlCollectionBase> back = copy.GetXmlCollection();
    EXPECT_EQ(back->GetCount(), 3);
    v.Clear();
    EXPECT_EQ(destroyed, 0);
    VxVariant other;
    other.SetI4(5);
    EXPECT_EQ(other.GetXmlCollection().get(), nullptr);
    other.SetXmlCollection(nullptr);
    EXPECT_EQ(other.GetItemType(), ItemType_XmlCollection);
    EXPECT_EQ(other.GetXmlCollection().get(), nullptr);
  }
  EXPECT_EQ(destroyed, 1);
}
