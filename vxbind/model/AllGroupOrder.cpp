// The document order of an xs:all group's members.
#include "vxbind/model/AllGroupOrder.h"

#include <utility>

namespace VxVevAva5 {

CAllGroupOrder::CAllGroupOrder(const CAllGroupOrder& other)
    : m_positions(other.m_positions ? new std::vector<int>(*other.m_positions) : nullptr) {}

CAllGroupOrder& CAllGroupOrder::operator=(const CAllGroupOrder& other) {
  if (this != &other)
    m_positions.reset(other.m_positions ? new std::vector<int>(*other.m_positions) : nullptr);
  return *this;
}

CAllGroupOrder::~CAllGroupOrder() = default;

const std::vector<int>& CAllGroupOrder::GetPositions() const {
  static const std::vector<int> kNone;
  return m_positions ? *m_positions : kNone;
}

void CAllGroupOrder::SetPositions(std::vector<int> positions) {
  if (positions.empty())
    m_positions.reset();
  else
    m_positions.reset(new std::vector<int>(std::move(positions)));
}

}  // namespace VxVevAva5
