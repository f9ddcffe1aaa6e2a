// -----------------------------------------------------------------------------
// File: vxbind.h
// -----------------------------------------------------------------------------
//
// The one header users include: every public header of the library.
// Link the CMake target vxbind::vxbind (or pkg-config vxbind).

#ifndef VXBIND_VXBIND_H
#define VXBIND_VXBIND_H

// Platform layer
#include "vxbind/platform/File.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/String.h"
#include "vxbind/platform/Time.h"
#include "vxbind/platform/Utf16.h"

// Binding core
#include "vxbind/core/ClassFactory.h"
#include "vxbind/core/Exceptions.h"
#include "vxbind/core/InstanceMonitor.h"
#include "vxbind/core/SerializationContext.h"
#include "vxbind/core/SmartPtr.h"
#include "vxbind/core/XmlObjectBase.h"

// Document model and readers
#include "vxbind/document/NamespaceAliasMap.h"
#include "vxbind/document/XmlDocument.h"

// Writers
#include "vxbind/writers/ByteOutput.h"
#include "vxbind/writers/StringBuffer.h"
#include "vxbind/writers/XmlTextWriter.h"
#include "vxbind/writers/XmlWriter.h"

// Value types
#include "vxbind/values/BigInteger.h"
#include "vxbind/values/BinaryData.h"
#include "vxbind/values/DateTime.h"
#include "vxbind/values/DateTimeSpan.h"
#include "vxbind/values/Decimal.h"

// Variant and conversions
#include "vxbind/conversions/Conversions.h"
#include "vxbind/conversions/Variant.h"
#include "vxbind/conversions/WhitespaceUtils.h"

#endif  // VXBIND_VXBIND_H
