// -----------------------------------------------------------------------------
// File: InstanceMonitor.h
// -----------------------------------------------------------------------------
//
// CInstanceMonitor: the empty base that most library classes carry. Its
// constructor takes the class's own name ("CXmlDocument", "CXmlTextWriter",
// ...) and keeps nothing: no state, no virtual operations, no cost.

#ifndef VXBIND_BASE_INSTANCEMONITOR_H
#define VXBIND_BASE_INSTANCEMONITOR_H

class CInstanceMonitor {
 public:
  explicit CInstanceMonitor(const unsigned short* /*className*/) noexcept {}
};

#endif  // VXBIND_BASE_INSTANCEMONITOR_H
