// <windows.h> defines macros with some of the seam's method names
// (DeleteFile becomes DeleteFileA, ...). Wherever the seam and <windows.h>
// meet, in either order, they are taken away again, so that the names in
// the declarations and in the calls stay the same. Deliberately without an
// include guard: it has to act every time it is included.
#undef DeleteFile
#undef MessageBox
#undef SetWindowLong
#undef CallWindowProc
#undef RegisterWindowMessage
#undef GetVersionEx
