// The whole drawing layer in one include.
#pragma once

#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/draw_text.h"
#include "platform/gdi/font.h"
#include "platform/gdi/frame_draw.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/icon.h"
#include "platform/gdi/image_list.h"
#include "platform/gdi/rect.h"
#include "platform/gdi/region.h"
#include "platform/gdi/sys_colors.h"
#include "platform/gdi/win_types.h"
