// A schema's classes, written by hand the way the schema compiler writes
// generated code: one class per complex type, metadata built once per class
// (function-local statics), an AccessProperty switch, class and
// substitution factories, enumeration converters and typed collections.
// Together the types use every group x kind x cardinality of the element
// member kinds and every kind of attribute info.
//
//   <xs:schema targetNamespace="urn:vxbind:test" xmlns="urn:vxbind:test"
//              elementFormDefault="qualified">
//     <xs:simpleType name="Color">  red | green | blue
//     <xs:complexType name="Leaf" mixed="true">   text, note?; @id (int >= 0, required),
//                                                  ##other attributes
//     <xs:complexType name="Shape" abstract="true">  @label?
//       Circle: radius (double); Square: side (int)       (by xsi:type)
//     <xs:group name="Pair">  first (string), second? (int); @pairNote?
//     <xs:complexType name="SeqHolder">  sequence of every kind, see CSeqHolder
//     <xs:complexType name="AllHolder">  all group of every kind, see CAllHolder
//     <xs:complexType name="ChoiceHolder">  choice of every kind, see CChoiceHolder
//     <xs:complexType name="ChoiceAny">  choice of two repeated wildcards
//     <xs:complexType name="AllAny">  all group with a repeated wildcard
//     <xs:complexType name="AllShape">  all group of substitutable members
//     <xs:complexType name="Node">  value? (int), node? (Node): recursive
#ifndef VXBIND_TESTS_MODEL_SCHEMA_TESTSCHEMA_H
#define VXBIND_TESTS_MODEL_SCHEMA_TESTSCHEMA_H

#include <cstdint>
#include <vector>

#include "vxbind/vxbind.h"

namespace TestSchema {

using namespace VxVevAva5;
using namespace VxVevAva5Data;

extern const unsigned short* const kNamespace;  // urn:vxbind:test

// -- Enumerations -----------------------------------------------------------------
enum Color { Color_red = 0, Color_green = 1, Color_blue = 2 };
// Unknown text: CVxInvalidValueException "Invalid value [%s] for the enumeration [Color]".
int ColorFromString(const unsigned short* text);
// Unknown value: CVxInvalidValueException "Invalid value [%d] for the enumeration [Color]".
const unsigned short* ColorToString(int value);

// -- Factories ----------------------------------------------------------------------
enum ClassNumber { ClassNumber_Leaf = 1, ClassNumber_Pair = 2, ClassNumber_Node = 3 };
CSmartPtr<CXmlObjectBase> CreateObject(int classNumber, const unsigned short* elementName);
// Circle or Square by xsi:type in this schema's namespace; null otherwise.
CSmartPtr<CXmlObjectBase> CreateShape(CXmlElement* element);

// -- Types --------------------------------------------------------------------------

class CLeaf : public CXmlGeneratedClass {
 public:
  explicit CLeaf(const unsigned short* elementName = VX_T("leaf"));
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return kNamespace; }
  void AccessProperty(int propertyIndex, bool read, VxVariant& value) override;
  CParentElementInfo* GetClassInfo() const override;
  CElementInfo** GetClassElementInfo() const override;
  CAttributeInfo** GetClassAttributeInfo() const override;

  int32_t GetId() const { return m_id; }
  void SetId(int32_t id) {
    m_id = id;
    m_idSet = true;
  }
  bool HasNote() const { return m_hasNote; }
  String GetNote() const { return m_note; }
  void SetNote(const unsigned short* note) {
    m_note = Utf16::Make(note);
    m_hasNote = true;
  }
  String GetText() const { return m_text; }
  void SetText(const unsigned short* text) { m_text = Utf16::Make(text); }
  CSmartPtr<CAttributeCol> GetOtherAttributes() const { return m_otherAttributes; }

 protected:
  ~CLeaf() override = default;
  String GetTargetNamespace() const override { return kNamespace; }
  void Init() override;

 private:
  int32_t m_id = 0;
  bool m_idSet = false;
  String m_note;
  bool m_hasNote = false;
  String m_text;
  CSmartPtr<CAttributeCol> m_otherAttributes;
};

// The abstract Shape and its two extensions; the member's element name is
// the one they are written under (xsi:type says which class).
class CShape : public CXmlGeneratedClass {
 public:
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return kNamespace; }
  bool HasLabel() const { return m_hasLabel; }
  String GetLabel() const { return m_label; }
  void SetLabel(const unsigned short* label) {
    m_label = Utf16::Make(label);
    m_hasLabel = true;
  }

 protected:
  ~CShape() override = default;
  String GetTargetNamespace() const override { return kNamespace; }
  void Init() override {
    m_hasLabel = false;
    m_label.clear();
  }
  void AccessLabel(bool read, VxVariant& value);

 private:
  String m_label;
  bool m_hasLabel = false;
};

class CCircle : public CShape {
 public:
  explicit CCircle(const unsigned short* elementName = VX_T("Circle"));
  void AccessProperty(int propertyIndex, bool read, VxVariant& value) override;
  CParentElementInfo* GetClassInfo() const override;
  CElementInfo** GetClassElementInfo() const override;
  CAttributeInfo** GetClassAttributeInfo() const override;
  double GetRadius() const { return m_radius; }
  void SetRadius(double radius) { m_radius = radius; }

 protected:
  void Init() override {
    CShape::Init();
    m_radius = 0;
  }

 private:
  double m_radius = 0;
};

class CSquare : public CShape {
 public:
  explicit CSquare(const unsigned short* elementName = VX_T("Square"));
  void AccessProperty(int propertyIndex, bool read, VxVariant& value) override;
  CParentElementInfo* GetClassInfo() const override;
  CElementInfo** GetClassElementInfo() const override;
  CAttributeInfo** GetClassAttributeInfo() const override;
  int32_t GetSide() const { return m_side; }
  void SetSide(int32_t side) { m_side = side; }

 protected:
  void Init() override {
    CShape::Init();
    m_side = 0;
  }

 private:
  int32_t m_side = 0;
};

// The model group Pair: no element of its own; its elements sit in its
// owner's element and its attribute on the owner's start tag.
class CPair : public CXmlGeneratedClass {
 public:
  CPair();
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return kNamespace; }
  void AccessProperty(int propertyIndex, bool read, VxVariant& value) override;
  CParentElementInfo* GetClassInfo() const override;
  CElementInfo** GetClassElementInfo() const override;
  CAttributeInfo** GetClassAttributeInfo() const override;

  String GetFirst() const { return m_first; }
  void SetFirst(const unsigned short* first) { m_first = Utf16::Make(first); }
  bool HasSecond() const { return m_hasSecond; }
  int32_t GetSecond() const { return m_second; }
  void SetSecond(int32_t second) {
    m_second = second;
    m_hasSecond = true;
  }
  void SetPairNote(const unsigned short* note) {
    m_pairNote = Utf16::Make(note);
    m_hasPairNote = true;
  }

 protected:
  ~CPair() override = default;
  String GetTargetNamespace() const override { return kNamespace; }
  void Init() override;

 private:
  String m_first;
  int32_t m_second = 0;
  bool m_hasSecond = false;
  String m_pairNote;
  bool m_hasPairNote = false;
};

// -- Typed collections ----------------------------------------------------------------

// Leaf items, each its own element of the collection's name.
class CLeafCol : public CXmlCollection {
 public:
  CLeafCol(const unsigned short* elementName, int minOccurs, int maxOccurs)
      : CXmlCollection(elementName, kNamespace, minOccurs, maxOccurs) {}
  // A new item, named after the collection's elements.
  CSmartPtr<CLeaf> Add();
  CSmartPtr<CLeaf> Item(int index) const { return static_cast<CLeaf*>(GetItemAtIndex(index)); }

 protected:
  void ToXml_Int(CXmlWriter* writer, bool root, const unsigned short* namespaceUri,
                 const CXmlSerializationContext& context, bool optional) const override;
  CXmlElement* FromXml_Int(CXmlElement* element, CXmlElement* current,
                           const CXmlSerializationContext& context, bool optional) override;
};

// Shape items, the class of each chosen by its xsi:type.
class CShapeCol : public CXmlCollection {
 public:
  CShapeCol(const unsigned short* elementName, int minOccurs, int maxOccurs)
      : CXmlCollection(elementName, kNamespace, minOccurs, maxOccurs) {}
  // Appends `shape`, which takes the collection's element name.
  void Add(CShape* shape);
  CSmartPtr<CShape> Item(int index) const { return static_cast<CShape*>(GetItemAtIndex(index)); }

 protected:
  void ToXml_Int(CXmlWriter* writer, bool root, const unsigned short* namespaceUri,
                 const CXmlSerializationContext& context, bool optional) const override;
  CXmlElement* FromXml_Int(CXmlElement* element, CXmlElement* current,
                           const CXmlSerializationContext& context, bool optional) override;
};

// Color values, each written as its text.
class CColorCol : public CXmlTypeCollection {
 public:
  CColorCol(const unsigned short* elementName, int minOccurs, int maxOccurs);
  void Add(Color color);
  Color Item(int index) const { return m_values.at(static_cast<size_t>(index)); }
  int GetCount() const override { return static_cast<int>(m_values.size()); }
  void Clear() override { m_values.clear(); }
  void Remove(int index) override;

 protected:
  void ToXml_Int(CXmlWriter* writer, bool root, const unsigned short* namespaceUri,
                 const CXmlSerializationContext& context, bool optional) const override;
  void AddFromString(String text) override;

 private:
  std::vector<Color> m_values;
};

// -- The holders ----------------------------------------------------------------------

// <seq version="1.0" mode="red" other:x="...">: a sequence of
//   leafM (Leaf), leafO? (Leaf), leafC* (Leaf, at most 3), Pair (model group),
//   shapeM (Shape), shapeO? (Shape), shapeC* (Shape), count (int <= 1000),
//   price? (decimal, 2 digits), tag* (string, length <= 8, at most 4),
//   color (Color), shade? (Color), hue* (Color),
//   extra (any element named extra), note? (any element named note),
//   any elements*;
// @version (required, pattern \d+\.\d+), @mode? (Color). Attributes of no
// member are accepted (the Pair's are read by the Pair).
class CSeqHolder : public CXmlGeneratedClass {
 public:
  CSeqHolder();
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return kNamespace; }
  void AccessProperty(int propertyIndex, bool read, VxVariant& value) override;
  CParentElementInfo* GetClassInfo() const override;
  CElementInfo** GetClassElementInfo() const override;
  CAttributeInfo** GetClassAttributeInfo() const override;

  CSmartPtr<CLeaf> leafM;
  CSmartPtr<CLeaf> leafO;
  CSmartPtr<CLeafCol> leafC;
  CSmartPtr<CPair> pair;
  CSmartPtr<CShape> shapeM;
  CSmartPtr<CShape> shapeO;
  CSmartPtr<CShapeCol> shapeC;
  int32_t count = 0;
  bool hasPrice = false;
  CDecimal price;
  CSmartPtr<CstringCol> tag;
  Color color = Color_red;
  bool hasShade = false;
  Color shade = Color_red;
  CSmartPtr<CColorCol> hue;
  CSmartPtr<CElement> extra;
  CSmartPtr<CElement> note;
  CSmartPtr<CElementCol> any;
  String version;
  bool hasMode = false;
  Color mode = Color_red;

 protected:
  ~CSeqHolder() override = default;
  String GetTargetNamespace() const override { return kNamespace; }
  void Init() override;
};

// <all>: an all group of leafM, leafO?, leafC*, shapeC*, count, price?,
// tag*, color, shade?, extra, note?, Pair (model group). No attributes: any
// attribute is refused.
class CAllHolder : public CXmlGeneratedClass {
 public:
  CAllHolder();
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return kNamespace; }
  void AccessProperty(int propertyIndex, bool read, VxVariant& value) override;
  CParentElementInfo* GetClassInfo() const override;
  CElementInfo** GetClassElementInfo() const override;
  CAttributeInfo** GetClassAttributeInfo() const override;

  CSmartPtr<CLeaf> leafM;
  CSmartPtr<CLeaf> leafO;
  CSmartPtr<CLeafCol> leafC;
  CSmartPtr<CShapeCol> shapeC;
  int32_t count = 0;
  bool hasPrice = false;
  CDecimal price;
  CSmartPtr<CstringCol> tag;
  Color color = Color_red;
  bool hasShade = false;
  Color shade = Color_red;
  CSmartPtr<CElement> extra;
  CSmartPtr<CElement> note;
  CSmartPtr<CPair> pair;

 protected:
  ~CAllHolder() override = default;
  String GetTargetNamespace() const override { return kNamespace; }
  void Init() override;
};

// <choice>: one of leafO (Leaf), leafC+ (Leaf), shapeO (Shape), shapeC+
// (Shape), count (int), tag+ (string), color (Color), hue+ (Color), note
// (any element named note), Pair (model group). The class keeps the choice
// consistent: setting a second member throws, and it listens to its
// collections. Attributes of no member are accepted.
class CChoiceHolder : public CXmlGeneratedClass {
 public:
  CChoiceHolder();
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return kNamespace; }
  void AccessProperty(int propertyIndex, bool read, VxVariant& value) override;
  CParentElementInfo* GetClassInfo() const override;
  CElementInfo** GetClassElementInfo() const override;
  CAttributeInfo** GetClassAttributeInfo() const override;

  // The name of the member chosen, "" for none.
  const String& GetChosen() const { return m_chosen; }
  void SetLeafO(CLeaf* leaf);
  void SetShapeO(CShape* shape);
  void SetCount(int32_t count);
  void SetColor(Color color);
  void SetNote(CElement* note);
  void SetPair(CPair* pair);
  CSmartPtr<CLeaf> GetLeafO() const { return m_leafO; }
  CSmartPtr<CShape> GetShapeO() const { return m_shapeO; }
  CSmartPtr<CPair> GetPair() const { return m_pair; }
  CSmartPtr<CElement> GetNote() const { return m_note; }
  bool HasCount() const { return m_hasCount; }
  int32_t GetCount() const { return m_count; }
  CSmartPtr<CLeafCol> GetLeafC() const { return m_leafC; }
  CSmartPtr<CShapeCol> GetShapeC() const { return m_shapeC; }
  CSmartPtr<CstringCol> GetTag() const { return m_tag; }
  CSmartPtr<CColorCol> GetHue() const { return m_hue; }

 protected:
  ~CChoiceHolder() override;
  String GetTargetNamespace() const override { return kNamespace; }
  void Init() override;
  void OnEvent(CXmlObjectBase* source, MsgType type, void* data) override;

 private:
  String m_chosen;
  CSmartPtr<CLeaf> m_leafO;
  CSmartPtr<CLeafCol> m_leafC;
  CSmartPtr<CShape> m_shapeO;
  CSmartPtr<CShapeCol> m_shapeC;
  bool m_hasCount = false;
  int32_t m_count = 0;
  CSmartPtr<CstringCol> m_tag;
  bool m_hasColor = false;
  Color m_color = Color_red;
  CSmartPtr<CColorCol> m_hue;
  CSmartPtr<CElement> m_note;
  CSmartPtr<CPair> m_pair;
};

// <choiceAny>: one of x* (any elements named x) or any elements*. Repeated
// wildcards have no minimum, so the choice may stay empty.
class CChoiceAny : public CXmlGeneratedClass {
 public:
  CChoiceAny();
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return kNamespace; }
  void AccessProperty(int propertyIndex, bool read, VxVariant& value) override;
  CParentElementInfo* GetClassInfo() const override;
  CElementInfo** GetClassElementInfo() const override;
  CAttributeInfo** GetClassAttributeInfo() const override;

  CSmartPtr<CElementCol> x;
  CSmartPtr<CElementCol> any;

 protected:
  ~CChoiceAny() override = default;
  String GetTargetNamespace() const override { return kNamespace; }
  void Init() override;
};

// <allAny>: an all group of count? (int) and more* (any elements: a
// repeated wildcard takes the rest of the input, whatever it is).
class CAllAny : public CXmlGeneratedClass {
 public:
  CAllAny();
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return kNamespace; }
  void AccessProperty(int propertyIndex, bool read, VxVariant& value) override;
  CParentElementInfo* GetClassInfo() const override;
  CElementInfo** GetClassElementInfo() const override;
  CAttributeInfo** GetClassAttributeInfo() const override;

  bool hasCount = false;
  int32_t count = 0;
  CSmartPtr<CElementCol> more;

 protected:
  ~CAllAny() override = default;
  String GetTargetNamespace() const override { return kNamespace; }
  void Init() override;
};

// <allShape>: an all group of shape (Shape) and shapeO? (Shape).
class CAllShape : public CXmlGeneratedClass {
 public:
  CAllShape();
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return kNamespace; }
  void AccessProperty(int propertyIndex, bool read, VxVariant& value) override;
  CParentElementInfo* GetClassInfo() const override;
  CElementInfo** GetClassElementInfo() const override;
  CAttributeInfo** GetClassAttributeInfo() const override;

  CSmartPtr<CShape> shape;
  CSmartPtr<CShape> shapeO;

 protected:
  ~CAllShape() override = default;
  String GetTargetNamespace() const override { return kNamespace; }
  void Init() override;
};

// <node>: value? (int), node? (Node).
class CNode : public CXmlGeneratedClass {
 public:
  explicit CNode(const unsigned short* elementName = VX_T("node"));
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return kNamespace; }
  void AccessProperty(int propertyIndex, bool read, VxVariant& value) override;
  CParentElementInfo* GetClassInfo() const override;
  CElementInfo** GetClassElementInfo() const override;
  CAttributeInfo** GetClassAttributeInfo() const override;

  bool hasValue = false;
  int32_t value = 0;
  CSmartPtr<CNode> child;
  // Objects of this class alive now, for the tests of deep graphs.
  static int64_t LiveCount();

 protected:
  ~CNode() override;
  String GetTargetNamespace() const override { return kNamespace; }
  void Init() override;
};

}  // namespace TestSchema

#endif  // VXBIND_TESTS_MODEL_SCHEMA_TESTSCHEMA_H
