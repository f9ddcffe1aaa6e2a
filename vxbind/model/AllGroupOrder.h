// -----------------------------------------------------------------------------
// File: AllGroupOrder.h
// -----------------------------------------------------------------------------
//
// CAllGroupOrder: the order in which the members of an object's xs:all
// group came in the document that the object was read from, so that
// writing the object back writes them in that order. Generated classes of
// all groups hold one and hand it to the driver (CXmlGeneratedClass::
// GetAllGroupOrder); other classes hold none.
//
// It costs one pointer while the order is the schema's (as in most
// documents, and for every object built in code): the positions are kept
// only when a member came before one that the schema lists before it.

#ifndef VXBIND_MODEL_ALLGROUPORDER_H
#define VXBIND_MODEL_ALLGROUPORDER_H

#include <cstddef>
#include <memory>
#include <vector>

#include "vxbind/platform/Export.h"

namespace VxVevAva5 {

class VXBIND_EXPORT CAllGroupOrder {
 public:
  CAllGroupOrder() = default;
  CAllGroupOrder(const CAllGroupOrder& other);
  CAllGroupOrder& operator=(const CAllGroupOrder& other);
  CAllGroupOrder(CAllGroupOrder&& other) noexcept = default;
  CAllGroupOrder& operator=(CAllGroupOrder&& other) noexcept = default;
  ~CAllGroupOrder();

  // True while the order is the schema's.
  bool IsSchemaOrder() const { return m_positions == nullptr; }
  // The members' positions among the class's element infos, each once, in
  // the order their elements came; empty for the schema's order.
  const std::vector<int>& GetPositions() const;
  // Keeps `positions` (empty: back to the schema's order).
  void SetPositions(std::vector<int> positions);
  // Back to the schema's order.
  void Clear() { m_positions.reset(); }

 private:
  std::unique_ptr<std::vector<int>> m_positions;
};

}  // namespace VxVevAva5

#endif  // VXBIND_MODEL_ALLGROUPORDER_H
