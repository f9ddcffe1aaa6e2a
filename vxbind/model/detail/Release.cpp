#include "vxbind/model/detail/Release.h"

#include "vxbind/document/XmlDocument.h"
#include "vxbind/model/detail/Identity.h"

namespace VxVevAva5 {
namespace detail {

ReleaseRunScope::ReleaseRunScope(CXmlElement* parent, const CXmlElement* first, bool allowed) {
  if (!allowed || parent == nullptr || first == nullptr) return;
  if (!CXmlDocument::IsReadWhileBinding(parent)) return;
  // Checks that gather elements until the end of the document, and mixed
  // content, need the items again.
  ReadingState& state = t_reading;
  if (IdentityChecksActive() || state.mixed == parent) return;
  // A model group in the same element may go back to its start.
  for (const StartPin* pin = state.pins; pin != nullptr; pin = pin->outer)
    if (pin->holder == parent) return;
  m_run = ReleaseRun{parent, first, state.depth, state.run};
  state.run = &m_run;
  m_active = true;
}

ReleaseRunScope::~ReleaseRunScope() {
  if (m_active) t_reading.run = m_run.outer;
}

void ReleaseRunScope::Done(const CXmlElement* next) {
  if (!m_active) return;
  t_reading.run = m_run.outer;
  m_active = false;
  if (next != m_run.first) CXmlDocument::ReleaseChildren(m_run.parent, m_run.first, next, true);
}

void NoteItemStartSlow(ReadingState& state, CXmlElement* element) {
  ReleaseRun* run = state.run;
  // Items read one level below the run's owner; a model group's items read
  // in the parent itself and are not the run's.
  if (state.depth != run->depth + 1 || element == nullptr || element == run->parent ||
      element == run->first)
    return;
  CXmlDocument::ReleaseChildren(run->parent, run->first, element, true);
}

}  // namespace detail
}  // namespace VxVevAva5
