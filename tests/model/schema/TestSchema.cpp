// The test schema's generated code (see TestSchema.h).
#include "model/schema/TestSchema.h"

#include <atomic>
#include <initializer_list>

namespace TestSchema {

const unsigned short* const kNamespace = VX_T("urn:vxbind:test");

namespace {

const CWhitespaceUtils::WhitespaceRule kPreserve = CWhitespaceUtils::WhitespaceRule_Preserve;
const CWhitespaceUtils::WhitespaceRule kCollapse = CWhitespaceUtils::WhitespaceRule_Collapse;

// The metadata of one class: built on first use (a function-local static,
// so its construction is thread-safe), shared by all objects of the class,
// freed with CleanMetaData when the program ends.
struct Metadata {
  CParentElementInfo* classInfo;
  CElementInfo** elements;
  CAttributeInfo** attributes;

  Metadata(CParentElementInfo* info, std::initializer_list<CElementInfo*> elementInfos,
           std::initializer_list<CAttributeInfo*> attributeInfos)
      : classInfo(info),
        elements(new CElementInfo*[elementInfos.size() + 1]),
        attributes(new CAttributeInfo*[attributeInfos.size() + 1]) {
    size_t i = 0;
    for (CElementInfo* e : elementInfos) elements[i++] = e;
    elements[i] = nullptr;
    i = 0;
    for (CAttributeInfo* a : attributeInfos) attributes[i++] = a;
    attributes[i] = nullptr;
  }
  ~Metadata() { CXmlGeneratedClass::CleanMetaData(classInfo, elements, attributes); }
  Metadata(const Metadata&) = delete;
  Metadata& operator=(const Metadata&) = delete;
};

CPrimitiveRestrictions NoFacets() { return CPrimitiveRestrictions(); }

// Shared parts of the AccessProperty switches.
template <class T>
void AccessObject(bool read, VxVariant& value, CSmartPtr<T>& member) {
  if (read) {
    if (member != nullptr) value.SetXmlObject(member);
  } else {
    member = value.IsValid() ? static_cast<T*>(value.GetXmlObject().get()) : nullptr;
  }
}

template <class T>
void AccessCollection(bool read, VxVariant& value, const CSmartPtr<T>& member) {
  if (read) value.SetXmlCollection(member);  // collections are owned, never replaced
}

void AccessColor(bool read, VxVariant& value, Color& member) {
  if (read)
    value.SetI4(member);
  else
    member = static_cast<Color>(value.GetI4());
}

void AccessOptionalColor(bool read, VxVariant& value, bool& present, Color& member) {
  if (read) {
    if (present) value.SetI4(member);
  } else {
    present = value.IsValid();
    if (present) member = static_cast<Color>(value.GetI4());
  }
}

void AccessOptionalDecimal(bool read, VxVariant& value, bool& present, CDecimal& member) {
  if (read) {
    if (present) value.SetDecimal(member);
  } else {
    present = value.IsValid();
    if (present) member = value.GetDecimal();
  }
}

CSmartPtr<CLeaf> NewLeaf(const unsigned short* elementName) { return new CLeaf(elementName); }

}  // namespace

// -- Enumerations ---------------------------------------------------------------------

int ColorFromString(const unsigned short* text) {
  if (Utf16::Equal(text, VX_T("red"))) return Color_red;
  if (Utf16::Equal(text, VX_T("green"))) return Color_green;
  if (Utf16::Equal(text, VX_T("blue"))) return Color_blue;
  throw CVxInvalidValueException(
      FormatString(VX_T("Invalid value [%s] for the enumeration [Color]"), text));
}

const unsigned short* ColorToString(int value) {
  switch (value) {
    case Color_red:
      return VX_T("red");
    case Color_green:
      return VX_T("green");
    case Color_blue:
      return VX_T("blue");
  }
  throw CVxInvalidValueException(
      FormatString(VX_T("Invalid value [%d] for the enumeration [Color]"), value));
}

// -- Factories --------------------------------------------------------------------------

CSmartPtr<CXmlObjectBase> CreateObject(int classNumber, const unsigned short* elementName) {
  switch (classNumber) {
    case ClassNumber_Leaf:
      return new CLeaf(elementName);
    case ClassNumber_Pair:
      return new CPair();
    case ClassNumber_Node:
      return new CNode(elementName);
  }
  return nullptr;
}

CSmartPtr<CXmlObjectBase> CreateShape(CXmlElement* element) {
  if (CClassfactoryBase::GetElementTypeNamespaceUri(element) != kNamespace) return nullptr;
  String type = CClassfactoryBase::GetElementType(element);
  const unsigned short* name = element->GetLocalName().c_str();
  if (type == VX_T("Circle")) return new CCircle(name);
  if (type == VX_T("Square")) return new CSquare(name);
  return nullptr;
}

// -- Leaf -------------------------------------------------------------------------------

namespace {
enum LeafProperty { Leaf_note, Leaf_text, Leaf_id, Leaf_otherAttributes };

const Metadata& LeafMetadata() {
  static const Metadata metadata(
      new CParentElementInfo(XmlElementGroupType_Sequence, XmlElementType_Element, VX_T("leaf"),
                             kNamespace, Leaf_text, true, false),
      {new CElementInfoSeqPrimOpt(VX_T("note"), kNamespace, Leaf_note, ItemType_string, nullptr,
                                  kPreserve, NoFacets())},
      {new CAttributeInfoPrimitive(
           VX_T("id"), VX_T(""), Leaf_id, false, ItemType_i4, nullptr, kCollapse,
           CPrimitiveRestrictions(nullptr, -1, -1, VX_T("0"), nullptr, nullptr, nullptr, -1)),
       new CAttributeInfoAny(VX_T("AnyAttribute"), VX_T(""), Leaf_otherAttributes, true,
                             VX_T("##other"), kNamespace)});
  return metadata;
}
}  // namespace

CLeaf::CLeaf(const unsigned short* elementName)
    : m_otherAttributes(new CAttributeCol(VX_T(""), VX_T("##other"), kNamespace)) {
  SetElementName(elementName);
}

CParentElementInfo* CLeaf::GetClassInfo() const { return LeafMetadata().classInfo; }
CElementInfo** CLeaf::GetClassElementInfo() const { return LeafMetadata().elements; }
CAttributeInfo** CLeaf::GetClassAttributeInfo() const { return LeafMetadata().attributes; }

void CLeaf::Init() {
  m_id = 0;
  m_idSet = false;
  m_note.clear();
  m_hasNote = false;
  m_text.clear();
  m_otherAttributes->Clear();
}

void CLeaf::AccessProperty(int propertyIndex, bool read, VxVariant& value) {
  switch (propertyIndex) {
    case Leaf_note:
      if (read) {
        if (m_hasNote) value.SetString(m_note);
      } else {
        m_hasNote = value.IsValid();
        m_note = m_hasNote ? value.GetString() : String();
      }
      break;
    case Leaf_text:
      if (read)
        value.SetString(m_text);
      else
        m_text = value.GetString();
      break;
    case Leaf_id:
      if (read) {
        if (m_idSet) value.SetI4(m_id);
      } else {
        m_id = value.GetI4();
        m_idSet = true;
      }
      break;
    case Leaf_otherAttributes:
      AccessCollection(read, value, m_otherAttributes);
      break;
  }
}

// -- Shapes --------------------------------------------------------------------------------

namespace {
enum ShapeProperty { Shape_label, Shape_own };

CAttributeInfo* NewLabelInfo() {
  return new CAttributeInfoPrimitive(VX_T("label"), VX_T(""), Shape_label, true, ItemType_string,
                                     nullptr, kPreserve, NoFacets());
}

const Metadata& CircleMetadata() {
  static const Metadata metadata(
      new CParentElementInfo(XmlElementGroupType_Sequence, XmlElementType_Element, VX_T("Circle"),
                             kNamespace, -1, true, true),
      {new CElementInfoSeqPrimMnd(VX_T("radius"), kNamespace, Shape_own, ItemType_r8, nullptr,
                                  kCollapse, NoFacets())},
      {NewLabelInfo()});
  return metadata;
}

const Metadata& SquareMetadata() {
  static const Metadata metadata(
      new CParentElementInfo(XmlElementGroupType_Sequence, XmlElementType_Element, VX_T("Square"),
                             kNamespace, -1, true, true),
      {new CElementInfoSeqPrimMnd(
          VX_T("side"), kNamespace, Shape_own, ItemType_i4, nullptr, kCollapse,
          CPrimitiveRestrictions(nullptr, -1, -1, VX_T("1"), nullptr, nullptr, nullptr, -1))},
      {NewLabelInfo()});
  return metadata;
}
}  // namespace

void CShape::AccessLabel(bool read, VxVariant& value) {
  if (read) {
    if (m_hasLabel) value.SetString(m_label);
  } else {
    m_hasLabel = value.IsValid();
    m_label = m_hasLabel ? value.GetString() : String();
  }
}

CCircle::CCircle(const unsigned short* elementName) { SetElementName(elementName); }
CParentElementInfo* CCircle::GetClassInfo() const { return CircleMetadata().classInfo; }
CElementInfo** CCircle::GetClassElementInfo() const { return CircleMetadata().elements; }
CAttributeInfo** CCircle::GetClassAttributeInfo() const { return CircleMetadata().attributes; }

void CCircle::AccessProperty(int propertyIndex, bool read, VxVariant& value) {
  if (propertyIndex == Shape_label) return AccessLabel(read, value);
  if (read)
    value.SetR8(m_radius);
  else
    m_radius = value.GetR8();
}

CSquare::CSquare(const unsigned short* elementName) { SetElementName(elementName); }
CParentElementInfo* CSquare::GetClassInfo() const { return SquareMetadata().classInfo; }
CElementInfo** CSquare::GetClassElementInfo() const { return SquareMetadata().elements; }
CAttributeInfo** CSquare::GetClassAttributeInfo() const { return SquareMetadata().attributes; }

void CSquare::AccessProperty(int propertyIndex, bool read, VxVariant& value) {
  if (propertyIndex == Shape_label) return AccessLabel(read, value);
  if (read)
    value.SetI4(m_side);
  else
    m_side = value.GetI4();
}

// -- Pair ---------------------------------------------------------------------------------

namespace {
enum PairProperty { Pair_first, Pair_second, Pair_pairNote };

const Metadata& PairMetadata() {
  static const Metadata metadata(
      new CParentElementInfo(XmlElementGroupType_Sequence, XmlElementType_PseudoElement,
                             VX_T("Pair"), kNamespace, -1, false, false),
      {new CElementInfoSeqPrimMnd(VX_T("first"), kNamespace, Pair_first, ItemType_string, nullptr,
                                  kPreserve, NoFacets()),
       new CElementInfoSeqPrimOpt(VX_T("second"), kNamespace, Pair_second, ItemType_i4, nullptr,
                                  kCollapse, NoFacets())},
      {new CAttributeInfoPrimitive(VX_T("pairNote"), VX_T(""), Pair_pairNote, true, ItemType_string,
                                   nullptr, kPreserve, NoFacets())});
  return metadata;
}
}  // namespace

CPair::CPair() { SetElementName(VX_T("Pair")); }
CParentElementInfo* CPair::GetClassInfo() const { return PairMetadata().classInfo; }
CElementInfo** CPair::GetClassElementInfo() const { return PairMetadata().elements; }
CAttributeInfo** CPair::GetClassAttributeInfo() const { return PairMetadata().attributes; }

void CPair::Init() {
  m_first.clear();
  m_second = 0;
  m_hasSecond = false;
  m_pairNote.clear();
  m_hasPairNote = false;
}

void CPair::AccessProperty(int propertyIndex, bool read, VxVariant& value) {
  switch (propertyIndex) {
    case Pair_first:
      if (read)
        value.SetString(m_first);
      else
        m_first = value.GetString();
      break;
    case Pair_second:
      if (read) {
        if (m_hasSecond) value.SetI4(m_second);
      } else {
        m_hasSecond = value.IsValid();
        m_second = m_hasSecond ? value.GetI4() : 0;
      }
      break;
    case Pair_pairNote:
      if (read) {
        if (m_hasPairNote) value.SetString(m_pairNote);
      } else {
        m_hasPairNote = value.IsValid();
        m_pairNote = m_hasPairNote ? value.GetString() : String();
      }
      break;
  }
}

// -- Typed collections -------------------------------------------------------------------------

CSmartPtr<CLeaf> CLeafCol::Add() {
  CSmartPtr<CLeaf> leaf = NewLeaf(GetElementName().c_str());
  AppendItem(leaf);
  return leaf;
}

void CLeafCol::ToXml_Int(CXmlWriter* writer, bool, const unsigned short* namespaceUri,
                         const CXmlSerializationContext& context, bool) const {
  ValidateCount(context);
  for (const CNode* n = GetHeadNode(); n != nullptr; n = n->GetNext())
    CXmlObjectBase::ToXml_Int(n->GetItem(), writer, false, namespaceUri, context, false);
}

CXmlElement* CLeafCol::FromXml_Int(CXmlElement*, CXmlElement* current,
                                   const CXmlSerializationContext& context, bool) {
  while (current != nullptr && DoesElementNameMatch(context, current, GetElementName().c_str(),
                                                    GetNamespaceRef().c_str())) {
    CSmartPtr<CLeaf> leaf = NewLeaf(GetElementName().c_str());
    CXmlObjectBase::FromXml_Int(leaf, current, current->GetFirstElement(), context);
    AppendItem(leaf);
    current = current->GetNextSiblingElement();
  }
  return current;
}

void CShapeCol::Add(CShape* shape) {
  CXmlObjectBase::SetElementName(shape, GetElementName().c_str());
  AppendItem(shape);
}

void CShapeCol::ToXml_Int(CXmlWriter* writer, bool, const unsigned short* namespaceUri,
                          const CXmlSerializationContext& context, bool) const {
  ValidateCount(context);
  for (const CNode* n = GetHeadNode(); n != nullptr; n = n->GetNext())
    CXmlObjectBase::ToXml_Int(n->GetItem(), writer, false, namespaceUri, context, false);
}

CXmlElement* CShapeCol::FromXml_Int(CXmlElement*, CXmlElement* current,
                                    const CXmlSerializationContext& context, bool) {
  while (current != nullptr && DoesElementNameMatch(context, current, GetElementName().c_str(),
                                                    GetNamespaceRef().c_str())) {
    CSmartPtr<CXmlObjectBase> shape = CreateShape(current);
    if (shape == nullptr)
      throw CVxValidationException(
          FormatString(VX_T("Failed to find a suitable substitution element for [%s]"),
                       GetElementName().c_str()));
    CXmlObjectBase::FromXml_Int(shape, current, current->GetFirstElement(), context);
    AppendItem(shape);
    current = current->GetNextSiblingElement();
  }
  return current;
}

CColorCol::CColorCol(const unsigned short* elementName, int minOccurs, int maxOccurs)
    : CXmlTypeCollection(ItemType_i4, elementName, kNamespace, minOccurs, maxOccurs, nullptr, -1,
                         -1, nullptr, nullptr, nullptr, nullptr, -1, kPreserve, nullptr) {}

void CColorCol::Add(Color color) {
  ColorToString(color);  // refuses a value that is no Color
  m_values.push_back(color);
  FireOnCollectionChange();
}

void CColorCol::Remove(int index) {
  if (index < 0 || index >= GetCount())
    throw CVxInvalidParamException(
        FormatString(VX_T("Index %d is out of range, use 0 - %d"), index, GetCount()));
  m_values.erase(m_values.begin() + index);
  FireOnCollectionChange();
}

void CColorCol::ToXml_Int(CXmlWriter* writer, bool, const unsigned short*,
                          const CXmlSerializationContext& context, bool) const {
  ValidateCount(context);
  for (Color color : m_values) {
    writer->WriteStartElement(GetElementName(), GetNamespaceRef());
    writer->WriteText(Utf16::Make(ColorToString(color)));
    writer->WriteEndElement();
  }
}

void CColorCol::AddFromString(String text) {
  Add(static_cast<Color>(ColorFromString(text.c_str())));
}

// -- SeqHolder
// -------------------------------------------------------------------------------------

namespace {
enum SeqProperty {
  Seq_leafM,
  Seq_leafO,
  Seq_leafC,
  Seq_pair,
  Seq_shapeM,
  Seq_shapeO,
  Seq_shapeC,
  Seq_count,
  Seq_price,
  Seq_tag,
  Seq_color,
  Seq_shade,
  Seq_hue,
  Seq_extra,
  Seq_note,
  Seq_any,
  Seq_version,
  Seq_mode
};

const Metadata& SeqMetadata() {
  static const Metadata metadata(
      new CParentElementInfo(XmlElementGroupType_Sequence, XmlElementType_Element, VX_T("seq"),
                             kNamespace, -1, false, false),
      {new CElementInfoSeqClsMnd(VX_T("leafM"), kNamespace, Seq_leafM, XmlElementType_Element,
                                 CreateObject, ClassNumber_Leaf, true),
       new CElementInfoSeqClsOpt(VX_T("leafO"), kNamespace, Seq_leafO, XmlElementType_Element,
                                 CreateObject, ClassNumber_Leaf),
       new CElementInfoSeqClsCol(VX_T("leafC"), kNamespace, Seq_leafC, XmlElementType_Element),
       new CElementInfoSeqClsMnd(VX_T("Pair"), kNamespace, Seq_pair, XmlElementType_PseudoElement,
                                 CreateObject, ClassNumber_Pair, true),
       new CElementInfoSeqAbsClsMnd(VX_T("shapeM"), kNamespace, Seq_shapeM, XmlElementType_Element,
                                    CreateShape),
       new CElementInfoSeqAbsClsOpt(VX_T("shapeO"), kNamespace, Seq_shapeO, XmlElementType_Element,
                                    CreateShape),
       new CElementInfoSeqAbsClsCol(VX_T("shapeC"), kNamespace, Seq_shapeC, XmlElementType_Element),
       new CElementInfoSeqPrimMnd(
           VX_T("count"), kNamespace, Seq_count, ItemType_i4, nullptr, kCollapse,
           CPrimitiveRestrictions(nullptr, -1, -1, nullptr, VX_T("1000"), nullptr, nullptr, -1)),
       new CElementInfoSeqPrimOpt(VX_T("price"), kNamespace, Seq_price, ItemType_decimal, VX_T("2"),
                                  kCollapse, NoFacets()),
       new CElementInfoSeqPrimCol(VX_T("tag"), kNamespace, Seq_tag),
       new CElementInfoSeqEnumMnd(VX_T("color"), kNamespace, Seq_color, ColorToString,
                                  ColorFromString),
       new CElementInfoSeqEnumOpt(VX_T("shade"), kNamespace, Seq_shade, ColorToString,
                                  ColorFromString),
       new CElementInfoSeqEnumCol(VX_T("hue"), kNamespace, Seq_hue),
       new CElementInfoSeqUntpdMnd(VX_T("extra"), kNamespace, Seq_extra, VX_T("##any"), kNamespace),
       new CElementInfoSeqUntpdOpt(VX_T("note"), kNamespace, Seq_note, VX_T("##any"), kNamespace),
       new CElementInfoSeqUntpdCol(VX_T("AnyElement"), kNamespace, Seq_any)},
      {new CAttributeInfoPrimitive(VX_T("version"), VX_T(""), Seq_version, false, ItemType_string,
                                   nullptr, kCollapse,
                                   CPrimitiveRestrictions(VX_T("\\d+\\.\\d+"), -1, -1, nullptr,
                                                          nullptr, nullptr, nullptr, -1)),
       new CAttributeInfoEnum(VX_T("mode"), VX_T(""), Seq_mode, true, ColorToString,
                              ColorFromString)});
  return metadata;
}
}  // namespace

CSeqHolder::CSeqHolder()
    : leafC(new CLeafCol(VX_T("leafC"), 0, 3)),
      shapeC(new CShapeCol(VX_T("shapeC"), 0, -1)),
      tag(new CstringCol(VX_T("tag"), kNamespace, 0, 4, nullptr, -1, 8, nullptr, nullptr, nullptr,
                         nullptr, -1, kCollapse, nullptr)),
      hue(new CColorCol(VX_T("hue"), 0, -1)),
      any(new CElementCol(kNamespace, VX_T("##any"), kNamespace, 0, -1)) {
  SetElementName(VX_T("seq"));
  Init();
}

CParentElementInfo* CSeqHolder::GetClassInfo() const { return SeqMetadata().classInfo; }
CElementInfo** CSeqHolder::GetClassElementInfo() const { return SeqMetadata().elements; }
CAttributeInfo** CSeqHolder::GetClassAttributeInfo() const { return SeqMetadata().attributes; }

void CSeqHolder::Init() {
  leafM = NewLeaf(VX_T("leafM"));
  leafO = nullptr;
  leafC->Clear();
  pair = new CPair();
  shapeM = nullptr;
  shapeO = nullptr;
  shapeC->Clear();
  count = 0;
  hasPrice = false;
  tag->Clear();
  color = Color_red;
  hasShade = false;
  hue->Clear();
  extra = new CElement(VX_T("extra"), kNamespace);
  note = nullptr;
  any->Clear();
  version.clear();
  hasMode = false;
}

void CSeqHolder::AccessProperty(int propertyIndex, bool read, VxVariant& value) {
  switch (propertyIndex) {
    case Seq_leafM:
      return AccessObject(read, value, leafM);
    case Seq_leafO:
      return AccessObject(read, value, leafO);
    case Seq_leafC:
      return AccessCollection(read, value, leafC);
    case Seq_pair:
      return AccessObject(read, value, pair);
    case Seq_shapeM:
      return AccessObject(read, value, shapeM);
    case Seq_shapeO:
      return AccessObject(read, value, shapeO);
    case Seq_shapeC:
      return AccessCollection(read, value, shapeC);
    case Seq_count:
      if (read)
        value.SetI4(count);
      else
        count = value.GetI4();
      return;
    case Seq_price:
      return AccessOptionalDecimal(read, value, hasPrice, price);
    case Seq_tag:
      return AccessCollection(read, value, tag);
    case Seq_color:
      return AccessColor(read, value, color);
    case Seq_shade:
      return AccessOptionalColor(read, value, hasShade, shade);
    case Seq_hue:
      return AccessCollection(read, value, hue);
    case Seq_extra:
      return AccessObject(read, value, extra);
    case Seq_note:
      return AccessObject(read, value, note);
    case Seq_any:
      return AccessCollection(read, value, any);
    case Seq_version:
      if (read)
        value.SetString(version);
      else
        version = value.GetString();
      return;
    case Seq_mode:
      return AccessOptionalColor(read, value, hasMode, mode);
  }
}

// -- AllHolder
// --------------------------------------------------------------------------------------

namespace {
enum AllProperty {
  All_leafM,
  All_leafO,
  All_leafC,
  All_shapeC,
  All_count,
  All_price,
  All_tag,
  All_color,
  All_shade,
  All_extra,
  All_note,
  All_pair
};

const Metadata& AllMetadata() {
  static const Metadata metadata(
      new CParentElementInfo(XmlElementGroupType_All, XmlElementType_Element, VX_T("all"),
                             kNamespace, -1, true, false),
      {new CElementInfoAllClsMnd(VX_T("leafM"), kNamespace, All_leafM, XmlElementType_Element,
                                 CreateObject, ClassNumber_Leaf, true),
       new CElementInfoAllClsOpt(VX_T("leafO"), kNamespace, All_leafO, XmlElementType_Element,
                                 CreateObject, ClassNumber_Leaf),
       new CElementInfoAllClsCol(VX_T("leafC"), kNamespace, All_leafC, XmlElementType_Element),
       new CElementInfoAllAbsClsCol(VX_T("shapeC"), kNamespace, All_shapeC, XmlElementType_Element),
       new CElementInfoAllPrimMnd(VX_T("count"), kNamespace, All_count, ItemType_i4, nullptr,
                                  kCollapse, NoFacets()),
       new CElementInfoAllPrimOpt(VX_T("price"), kNamespace, All_price, ItemType_decimal, VX_T("2"),
                                  kCollapse, NoFacets()),
       new CElementInfoAllPrimCol(VX_T("tag"), kNamespace, All_tag),
       new CElementInfoAllEnumMnd(VX_T("color"), kNamespace, All_color, ColorToString,
                                  ColorFromString),
       new CElementInfoAllEnumOpt(VX_T("shade"), kNamespace, All_shade, ColorToString,
                                  ColorFromString),
       new CElementInfoAllUntpdMnd(VX_T("extra"), kNamespace, All_extra, VX_T("##any"), kNamespace),
       new CElementInfoAllUntpdOpt(VX_T("note"), kNamespace, All_note, VX_T("##any"), kNamespace),
       new CElementInfoAllClsMnd(VX_T("Pair"), kNamespace, All_pair, XmlElementType_PseudoElement,
                                 CreateObject, ClassNumber_Pair, true)},
      {});
  return metadata;
}
}  // namespace

CAllHolder::CAllHolder()
    : leafC(new CLeafCol(VX_T("leafC"), 0, 3)),
      shapeC(new CShapeCol(VX_T("shapeC"), 0, -1)),
      tag(new CstringCol(VX_T("tag"), kNamespace, 0, 4, nullptr, -1, -1, nullptr, nullptr, nullptr,
                         nullptr, -1, kCollapse, nullptr)) {
  SetElementName(VX_T("all"));
  Init();
}

CParentElementInfo* CAllHolder::GetClassInfo() const { return AllMetadata().classInfo; }
CElementInfo** CAllHolder::GetClassElementInfo() const { return AllMetadata().elements; }
CAttributeInfo** CAllHolder::GetClassAttributeInfo() const { return AllMetadata().attributes; }

void CAllHolder::Init() {
  leafM = NewLeaf(VX_T("leafM"));
  leafO = nullptr;
  leafC->Clear();
  shapeC->Clear();
  count = 0;
  hasPrice = false;
  tag->Clear();
  color = Color_red;
  hasShade = false;
  extra = new CElement(VX_T("extra"), kNamespace);
  note = nullptr;
  pair = new CPair();
}

void CAllHolder::AccessProperty(int propertyIndex, bool read, VxVariant& value) {
  switch (propertyIndex) {
    case All_leafM:
      return AccessObject(read, value, leafM);
    case All_leafO:
      return AccessObject(read, value, leafO);
    case All_leafC:
      return AccessCollection(read, value, leafC);
    case All_shapeC:
      return AccessCollection(read, value, shapeC);
    case All_count:
      if (read)
        value.SetI4(count);
      else
        count = value.GetI4();
      return;
    case All_price:
      return AccessOptionalDecimal(read, value, hasPrice, price);
    case All_tag:
      return AccessCollection(read, value, tag);
    case All_color:
      return AccessColor(read, value, color);
    case All_shade:
      return AccessOptionalColor(read, value, hasShade, shade);
    case All_extra:
      return AccessObject(read, value, extra);
    case All_note:
      return AccessObject(read, value, note);
    case All_pair:
      return AccessObject(read, value, pair);
  }
}

// -- ChoiceHolder
// ------------------------------------------------------------------------------------

namespace {
enum ChoiceProperty {
  Choice_leafO,
  Choice_leafC,
  Choice_shapeO,
  Choice_shapeC,
  Choice_count,
  Choice_tag,
  Choice_color,
  Choice_hue,
  Choice_note,
  Choice_pair
};

const Metadata& ChoiceMetadata() {
  static const Metadata metadata(
      new CParentElementInfo(XmlElementGroupType_Choice, XmlElementType_Element, VX_T("choice"),
                             kNamespace, -1, false, false),
      {new CElementInfoChoiceClsOpt(VX_T("leafO"), kNamespace, Choice_leafO, XmlElementType_Element,
                                    CreateObject, ClassNumber_Leaf),
       new CElementInfoChoiceClsCol(VX_T("leafC"), kNamespace, Choice_leafC,
                                    XmlElementType_Element),
       new CElementInfoChoiceAbsClsOpt(VX_T("shapeO"), kNamespace, Choice_shapeO,
                                       XmlElementType_Element, CreateShape),
       new CElementInfoChoiceAbsClsCol(VX_T("shapeC"), kNamespace, Choice_shapeC,
                                       XmlElementType_Element),
       new CElementInfoChoicePrimOpt(VX_T("count"), kNamespace, Choice_count, ItemType_i4, nullptr,
                                     kCollapse, NoFacets()),
       new CElementInfoChoicePrimCol(VX_T("tag"), kNamespace, Choice_tag),
       new CElementInfoChoiceEnumOpt(VX_T("color"), kNamespace, Choice_color, ColorToString,
                                     ColorFromString),
       new CElementInfoChoiceEnumCol(VX_T("hue"), kNamespace, Choice_hue),
       new CElementInfoChoiceUntpdOpt(VX_T("note"), kNamespace, Choice_note, VX_T("##any"),
                                      kNamespace),
       new CElementInfoChoiceClsOpt(VX_T("Pair"), kNamespace, Choice_pair,
                                    XmlElementType_PseudoElement, CreateObject, ClassNumber_Pair)},
      {});
  return metadata;
}

const unsigned short* ChoiceName(int property) {
  static const unsigned short* const kNames[] = {
      VX_T("leafO"), VX_T("leafC"), VX_T("shapeO"), VX_T("shapeC"), VX_T("count"),
      VX_T("tag"),   VX_T("color"), VX_T("hue"),    VX_T("note"),   VX_T("Pair")};
  return kNames[property];
}
}  // namespace

CChoiceHolder::CChoiceHolder()
    : m_leafC(new CLeafCol(VX_T("leafC"), 1, -1)),
      m_shapeC(new CShapeCol(VX_T("shapeC"), 1, -1)),
      m_tag(new CstringCol(VX_T("tag"), kNamespace, 1, -1, nullptr, -1, -1, nullptr, nullptr,
                           nullptr, nullptr, -1, kCollapse, nullptr)),
      m_hue(new CColorCol(VX_T("hue"), 1, -1)) {
  SetElementName(VX_T("choice"));
  m_leafC->AddEventListener(this);
  m_shapeC->AddEventListener(this);
  m_tag->AddEventListener(this);
  m_hue->AddEventListener(this);
}

CChoiceHolder::~CChoiceHolder() {
  m_leafC->RemoveEventListener(this);
  m_shapeC->RemoveEventListener(this);
  m_tag->RemoveEventListener(this);
  m_hue->RemoveEventListener(this);
}

CParentElementInfo* CChoiceHolder::GetClassInfo() const { return ChoiceMetadata().classInfo; }
CElementInfo** CChoiceHolder::GetClassElementInfo() const { return ChoiceMetadata().elements; }
CAttributeInfo** CChoiceHolder::GetClassAttributeInfo() const {
  return ChoiceMetadata().attributes;
}

void CChoiceHolder::Init() {
  m_leafO = nullptr;
  m_shapeO = nullptr;
  m_hasCount = false;
  m_hasColor = false;
  m_note = nullptr;
  m_pair = nullptr;
  m_leafC->Clear();
  m_shapeC->Clear();
  m_tag->Clear();
  m_hue->Clear();
  m_chosen.clear();
}

void CChoiceHolder::OnEvent(CXmlObjectBase* source, MsgType, void*) {
  auto* collection = static_cast<CXmlCollectionBase*>(source);
  int property = source == m_leafC.get()    ? Choice_leafC
                 : source == m_shapeC.get() ? Choice_shapeC
                 : source == m_tag.get()    ? Choice_tag
                                            : Choice_hue;
  Choice_CollectionChanged(ChoiceName(property), collection->GetCount(), m_chosen);
}

void CChoiceHolder::SetLeafO(CLeaf* leaf) {
  Choice_SelectElement(VX_T("leafO"), leaf, m_chosen);
  m_leafO = leaf;
  if (leaf != nullptr) SetElementName(leaf, VX_T("leafO"));
}

void CChoiceHolder::SetShapeO(CShape* shape) {
  Choice_SelectElement(VX_T("shapeO"), shape, m_chosen);
  m_shapeO = shape;
  if (shape != nullptr) SetElementName(shape, VX_T("shapeO"));
}

void CChoiceHolder::SetCount(int32_t count) {
  Choice_SetElementValid(true, VX_T("count"), m_chosen);
  m_count = count;
  m_hasCount = true;
}

void CChoiceHolder::SetColor(Color color) {
  Choice_SetElementValid(true, VX_T("color"), m_chosen);
  m_color = color;
  m_hasColor = true;
}

void CChoiceHolder::SetNote(CElement* note) {
  Choice_SelectElement(VX_T("note"), note, m_chosen);
  m_note = note;
}

void CChoiceHolder::SetPair(CPair* pair) {
  Choice_SelectElement(VX_T("Pair"), pair, m_chosen);
  m_pair = pair;
}

void CChoiceHolder::AccessProperty(int propertyIndex, bool read, VxVariant& value) {
  switch (propertyIndex) {
    case Choice_leafO:
      if (read) return AccessObject(read, value, m_leafO);
      return SetLeafO(value.IsValid() ? static_cast<CLeaf*>(value.GetXmlObject().get()) : nullptr);
    case Choice_leafC:
      return AccessCollection(read, value, m_leafC);
    case Choice_shapeO:
      if (read) return AccessObject(read, value, m_shapeO);
      return SetShapeO(value.IsValid() ? static_cast<CShape*>(value.GetXmlObject().get())
                                       : nullptr);
    case Choice_shapeC:
      return AccessCollection(read, value, m_shapeC);
    case Choice_count:
      if (read) {
        if (m_hasCount) value.SetI4(m_count);
      } else {
        SetCount(value.GetI4());
      }
      return;
    case Choice_tag:
      return AccessCollection(read, value, m_tag);
    case Choice_color:
      if (read) {
        if (m_hasColor) value.SetI4(m_color);
      } else {
        SetColor(static_cast<Color>(value.GetI4()));
      }
      return;
    case Choice_hue:
      return AccessCollection(read, value, m_hue);
    case Choice_note:
      if (read) return AccessObject(read, value, m_note);
      return SetNote(value.IsValid() ? static_cast<CElement*>(value.GetXmlObject().get())
                                     : nullptr);
    case Choice_pair:
      if (read) return AccessObject(read, value, m_pair);
      return SetPair(value.IsValid() ? static_cast<CPair*>(value.GetXmlObject().get()) : nullptr);
  }
}

// -- ChoiceAny
// ---------------------------------------------------------------------------------------

namespace {
enum ChoiceAnyProperty { ChoiceAny_x, ChoiceAny_any };

const Metadata& ChoiceAnyMetadata() {
  static const Metadata metadata(
      new CParentElementInfo(XmlElementGroupType_Choice, XmlElementType_Element, VX_T("choiceAny"),
                             kNamespace, -1, true, false),
      {new CElementInfoChoiceUntpdCol(VX_T("x"), kNamespace, ChoiceAny_x),
       new CElementInfoChoiceUntpdCol(VX_T("AnyElement"), kNamespace, ChoiceAny_any)},
      {});
  return metadata;
}
}  // namespace

CChoiceAny::CChoiceAny()
    : x(new CElementCol(kNamespace, VX_T("##any"), kNamespace, 0, -1)),
      any(new CElementCol(kNamespace, VX_T("##any"), kNamespace, 0, -1)) {
  SetElementName(VX_T("choiceAny"));
}

CParentElementInfo* CChoiceAny::GetClassInfo() const { return ChoiceAnyMetadata().classInfo; }
CElementInfo** CChoiceAny::GetClassElementInfo() const { return ChoiceAnyMetadata().elements; }
CAttributeInfo** CChoiceAny::GetClassAttributeInfo() const {
  return ChoiceAnyMetadata().attributes;
}

void CChoiceAny::Init() {
  x->Clear();
  any->Clear();
}

void CChoiceAny::AccessProperty(int propertyIndex, bool read, VxVariant& value) {
  AccessCollection(read, value, propertyIndex == ChoiceAny_x ? x : any);
}

// -- AllAny
// -------------------------------------------------------------------------------------------

namespace {
enum AllAnyProperty { AllAny_count, AllAny_more };

const Metadata& AllAnyMetadata() {
  static const Metadata metadata(
      new CParentElementInfo(XmlElementGroupType_All, XmlElementType_Element, VX_T("allAny"),
                             kNamespace, -1, true, false),
      {new CElementInfoAllPrimOpt(VX_T("count"), kNamespace, AllAny_count, ItemType_i4, nullptr,
                                  kCollapse, NoFacets()),
       new CElementInfoAllUntpdCol(VX_T("more"), kNamespace, AllAny_more)},
      {});
  return metadata;
}
}  // namespace

CAllAny::CAllAny() : more(new CElementCol(kNamespace, VX_T("##any"), kNamespace, 0, -1)) {
  SetElementName(VX_T("allAny"));
}

CParentElementInfo* CAllAny::GetClassInfo() const { return AllAnyMetadata().classInfo; }
CElementInfo** CAllAny::GetClassElementInfo() const { return AllAnyMetadata().elements; }
CAttributeInfo** CAllAny::GetClassAttributeInfo() const { return AllAnyMetadata().attributes; }

void CAllAny::Init() {
  hasCount = false;
  more->Clear();
}

void CAllAny::AccessProperty(int propertyIndex, bool read, VxVariant& value) {
  if (propertyIndex == AllAny_more) return AccessCollection(read, value, more);
  if (read) {
    if (hasCount) value.SetI4(count);
  } else {
    hasCount = value.IsValid();
    count = hasCount ? value.GetI4() : 0;
  }
}

// -- AllShape
// -----------------------------------------------------------------------------------------

namespace {
enum AllShapeProperty { AllShape_shape, AllShape_shapeO };

const Metadata& AllShapeMetadata() {
  static const Metadata metadata(
      new CParentElementInfo(XmlElementGroupType_All, XmlElementType_Element, VX_T("allShape"),
                             kNamespace, -1, true, false),
      {new CElementInfoAllAbsClsMnd(VX_T("shape"), kNamespace, AllShape_shape,
                                    XmlElementType_Element, CreateShape, 0),
       new CElementInfoAllAbsClsOpt(VX_T("shapeO"), kNamespace, AllShape_shapeO,
                                    XmlElementType_Element, CreateShape)},
      {});
  return metadata;
}
}  // namespace

CAllShape::CAllShape() { SetElementName(VX_T("allShape")); }
CParentElementInfo* CAllShape::GetClassInfo() const { return AllShapeMetadata().classInfo; }
CElementInfo** CAllShape::GetClassElementInfo() const { return AllShapeMetadata().elements; }
CAttributeInfo** CAllShape::GetClassAttributeInfo() const { return AllShapeMetadata().attributes; }

void CAllShape::Init() {
  shape = nullptr;
  shapeO = nullptr;
}

void CAllShape::AccessProperty(int propertyIndex, bool read, VxVariant& value) {
  AccessObject(read, value, propertyIndex == AllShape_shape ? shape : shapeO);
}

// -- Node
// ---------------------------------------------------------------------------------------------

namespace {
enum NodeProperty { Node_value, Node_child };

std::atomic<int64_t> g_liveNodes{0};

const Metadata& NodeMetadata() {
  static const Metadata metadata(
      new CParentElementInfo(XmlElementGroupType_Sequence, XmlElementType_Element, VX_T("node"),
                             kNamespace, -1, true, false),
      {new CElementInfoSeqPrimOpt(VX_T("value"), kNamespace, Node_value, ItemType_i4, nullptr,
                                  kCollapse, NoFacets()),
       new CElementInfoSeqClsOpt(VX_T("node"), kNamespace, Node_child, XmlElementType_Element,
                                 CreateObject, ClassNumber_Node)},
      {});
  return metadata;
}
}  // namespace

CNode::CNode(const unsigned short* elementName) {
  SetElementName(elementName);
  ++g_liveNodes;
}

CNode::~CNode() { --g_liveNodes; }

int64_t CNode::LiveCount() { return g_liveNodes.load(); }

CParentElementInfo* CNode::GetClassInfo() const { return NodeMetadata().classInfo; }
CElementInfo** CNode::GetClassElementInfo() const { return NodeMetadata().elements; }
CAttributeInfo** CNode::GetClassAttributeInfo() const { return NodeMetadata().attributes; }

void CNode::Init() {
  hasValue = false;
  value = 0;
  child = nullptr;
}

void CNode::AccessProperty(int propertyIndex, bool read, VxVariant& v) {
  if (propertyIndex == Node_child) return AccessObject(read, v, child);
  if (read) {
    if (hasValue) v.SetI4(value);
  } else {
    hasValue = v.IsValid();
    value = hasValue ? v.GetI4() : 0;
  }
}

}  // namespace TestSchema
