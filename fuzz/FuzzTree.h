// Shared by the XML reader fuzz targets: loads a document through one entry
// point and touches every node of the result.

#ifndef VXBIND_FUZZ_FUZZTREE_H
#define VXBIND_FUZZ_FUZZTREE_H

#include <cstddef>
#include <vector>

#include "vxbind/base/Exceptions.h"
#include "vxbind/document/XmlDocument.h"

namespace vxfuzz {

using namespace VxVevAva5;

// Reads every name, text and attribute of the tree with an explicit stack:
// the input decides the depth, so no recursion here either.
inline void WalkTree(const CXmlDocument& document) {
  size_t sum = 0;
  std::vector<const CXmlElement*> pending;
  if (const CXmlElement* root = document.GetDocumentElement()) pending.push_back(root);
  while (!pending.empty()) {
    const CXmlElement* element = pending.back();
    pending.pop_back();
    sum += element->GetLocalName().size() + element->GetNamespaceURI().size();
    sum += element->GetText().size();
    if (element->GetDocument() != &document) __builtin_trap();
    for (const char16_t* prefix : {u"", u"a", u"xml"}) {
      String uri;
      if (element->LookupNamespaceURI(reinterpret_cast<const unsigned short*>(prefix), uri))
        sum += uri.size() + 1;
    }
    for (const CXmlAttribute* attribute : element->GetAttributes()) {
      sum += attribute->GetLocalName().size() + attribute->GetNamespaceURI().size();
      sum += attribute->GetValue().size();
    }
    for (const CXmlElement* child = element->GetFirstElement(); child;
         child = child->GetNextSiblingElement()) {
      pending.push_back(child);
    }
  }
  sum += document.LookupNamespaceFromAlias(reinterpret_cast<const unsigned short*>(u"")).size();
  // Keeps the reads from being optimised away.
  volatile size_t sink = sum;
  (void)sink;
}

// Loads with `load(document)` in both namespace modes; rejection must come as
// the library's exception, and a failed load still leaves a walkable state.
template <class Load>
void LoadAndWalk(Load load) {
  for (SchemaType schema : {SchemaType_Default, SchemaType_NoNamespaces}) {
    CXmlDocument document(schema);
    try {
      load(document);
      if (document.GetDocumentElement() == nullptr) __builtin_trap();
      WalkTree(document);
    } catch (const CVxException&) {
      // Rejected input: what was built up to the error must still be sound.
      WalkTree(document);
    }
  }
}

}  // namespace vxfuzz

#endif  // VXBIND_FUZZ_FUZZTREE_H
