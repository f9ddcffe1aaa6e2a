// -----------------------------------------------------------------------------
// File: vxbind.h
// -----------------------------------------------------------------------------
//
// The one header users include: every public header of the library, floor by
// floor from the bottom. Link the CMake target vxbind::vxbind (or pkg-config
// vxbind).

#ifndef VXBIND_VXBIND_H
#define VXBIND_VXBIND_H

// Platform: UTF-16 strings, formatting, time stand-ins
#include "vxbind/platform/Format.h"
#include "vxbind/platform/String.h"
#include "vxbind/platform/Time.h"
#include "vxbind/platform/Utf16.h"
#include "vxbind/platform/Version.h"

// Base: errors, smart pointer, shared enums, context, the object base
#include "vxbind/base/Enums.h"
#include "vxbind/base/Exceptions.h"
#include "vxbind/base/GeneratedCode.h"
#include "vxbind/base/InstanceMonitor.h"
#include "vxbind/base/NamespaceAliasMap.h"
#include "vxbind/base/SerializationContext.h"
#include "vxbind/base/SmartPtr.h"
#include "vxbind/base/XmlObjectBase.h"

// Value types
#include "vxbind/values/BigInteger.h"
#include "vxbind/values/BinaryData.h"
#include "vxbind/values/DateTime.h"
#include "vxbind/values/DateTimeSpan.h"
#include "vxbind/values/Decimal.h"
#include "vxbind/values/QName.h"

// Variant and conversions
#include "vxbind/conversions/Conversions.h"
#include "vxbind/conversions/PrimitiveRestrictions.h"
#include "vxbind/conversions/Variant.h"
#include "vxbind/conversions/WhitespaceUtils.h"

// Document model and readers
#include "vxbind/document/XmlDocument.h"

// Writers
#include "vxbind/writers/ByteOutput.h"
#include "vxbind/writers/ByteSink.h"
#include "vxbind/writers/FastInfosetWriter.h"
#include "vxbind/writers/StringBuffer.h"
#include "vxbind/writers/XmlTextWriter.h"
#include "vxbind/writers/XmlWriter.h"

// Collections and untyped content
#include "vxbind/collections/Element.h"
#include "vxbind/collections/PrimitiveCol.h"
#include "vxbind/collections/XmlCollectionBase.h"

// Content model: generated classes, their driver, element and attribute infos
#include "vxbind/model/AllGroupOrder.h"
#include "vxbind/model/AttributeInfo.h"
#include "vxbind/model/ElementInfo.h"
#include "vxbind/model/ElementInfoKinds.h"
#include "vxbind/model/GlobalDeclarations.h"
#include "vxbind/model/XmlGeneratedClass.h"

// Binding core: entry points and class-factory helpers
#include "vxbind/core/ClassFactory.h"
#include "vxbind/core/Streaming.h"

#endif  // VXBIND_VXBIND_H
