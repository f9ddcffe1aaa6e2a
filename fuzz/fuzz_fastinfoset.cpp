// The Fast Infoset reader over bytes, in both namespace modes. Input that
// reads is then written again by the Fast Infoset writer and must read back
// into the same tree: reader and writer agree on everything the reader can
// produce.

#include <cstdint>
#include <vector>

#include "FuzzTree.h"
#include "support/ScriptObject.h"
#include "support/WriterScript.h"

namespace {

using namespace VxVevAva5;

bool HasNul(const String& s) {
  for (unsigned short c : s)
    if (c == 0) return true;
  return false;
}

// The writer calls that make `tree`; false when a string holds a NUL,
// which the writer would cut there.
bool ScriptOf(const vxtest::Tree& tree, vxtest::WriterScript& script) {
  std::vector<size_t> open;
  for (size_t i = 0; i < tree.size(); ++i) {
    const vxtest::TreeNode& node = tree[i];
    while (!open.empty() && open.back() != node.parent) {
      script.push_back({vxtest::WriterCall::kEnd});
      open.pop_back();
    }
    if (HasNul(node.name) || HasNul(node.ns)) return false;
    script.push_back({vxtest::WriterCall::kStart, node.name, node.ns});
    for (const vxtest::TreeAttribute& a : node.attributes) {
      if (HasNul(a.name) || HasNul(a.ns) || HasNul(a.value)) return false;
      script.push_back({vxtest::WriterCall::kAttribute, a.name, a.ns, a.value});
    }
    script.push_back({vxtest::WriterCall::kText, node.text});
    open.push_back(i);
  }
  for (; !open.empty(); open.pop_back()) script.push_back({vxtest::WriterCall::kEnd});
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A private copy, so that reading past the end is caught by the sanitizer.
  std::vector<unsigned char> bytes(data, data + size);
  vxfuzz::LoadAndWalk([&](CXmlDocument& document) {
    document.LoadXmlStream(bytes.data(), static_cast<uint32_t>(bytes.size()));
  });

  CXmlDocument document;
  try {
    document.LoadXmlStream(bytes.data(), static_cast<uint32_t>(bytes.size()));
  } catch (const CVxException&) {
    return 0;
  }
  vxtest::Tree tree = vxtest::ReadTree(document.GetDocumentElement());
  vxtest::CScriptObject object;
  if (!ScriptOf(tree, object.script)) return 0;
  CBinaryData written = object.ToFastInfosetStream();
  CXmlDocument again;
  again.LoadXmlStream(const_cast<unsigned char*>(written.GetData()), written.GetLength());
  if (!vxtest::Compare(tree, vxtest::ReadTree(again.GetDocumentElement()), true).empty())
    __builtin_trap();
  return 0;
}
