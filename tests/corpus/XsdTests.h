// What the W3C suite's runner (XsdTests.cpp) gets from the dispatch table
// that XsdTests.cmake writes: each compiled schema's CreateRootObject, by
// the name of the schema's unit in checks.txt.
#ifndef VXBIND_TESTS_CORPUS_XSDTESTS_H
#define VXBIND_TESTS_CORPUS_XSDTESTS_H

#include <vxbind/vxbind.h>

namespace vxbind_xsdtests {

// The class of a document element, its xsi:type taken into account.
using CreateRoot = VxVevAva5::CSmartPtr<VxVevAva5::CXmlObjectBase> (*)(
    VxVevAva5::CXmlElement* element);

struct Unit {
  const char* name;  // "u12"
  CreateRoot create;
};

// Every compiled unit; the last entry's name is null.
extern const Unit kUnits[];

}  // namespace vxbind_xsdtests

#endif  // VXBIND_TESTS_CORPUS_XSDTESTS_H
