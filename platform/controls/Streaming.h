// Form resources: published properties, the text form format, reading and
// writing components.
#pragma once

#include "platform/controls/StreamingReader.h"
#include "platform/controls/StreamingRegistry.h"
#include "platform/controls/StreamingText.h"
#include "platform/controls/StreamingWriter.h"
