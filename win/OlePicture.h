// The bitmap inside an OLE picture object, for whoever draws, shows or reads
// the symbol picture that the renderer makes.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "ScopedWin.h"

// The bitmap of a PICTYPE_BITMAP picture, or null for a null picture or one
// of another type. The picture keeps owning the bitmap: the handle is valid
// while the picture lives.
inline HBITMAP PictureBitmap(IPictureDisp* picture)
{
    const ScopedComPtr<IPicture> plain = QueryInterfaceOf<IPicture>(picture, IID_IPicture);
    OLE_HANDLE handle = 0;
    SHORT type = PICTYPE_NONE;
    if (!plain || FAILED(plain->get_Type(&type)) || type != PICTYPE_BITMAP ||
        FAILED(plain->get_Handle(&handle)))
        return nullptr;
    return reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
}
