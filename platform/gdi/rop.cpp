#include "platform/gdi/rop.h"

namespace win::detail {
namespace {

// Bit i of the code is the result for pattern = bit 2 of i, source = bit 1, destination = bit 0.
Pixel Generic(BYTE code, Pixel p, Pixel s, Pixel d) {
    Pixel r = 0;
    for (int i = 0; i < 8; ++i) {
        if (!((code >> i) & 1)) continue;
        r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return r;
}

void RowGeneric(Pixel* d, const Pixel* s, Pixel p, int n, BYTE code) {
    for (int i = 0; i < n; ++i)
        d[i] = Generic(code, p, s ? s[i] : 0, d[i]);
}

template <class F>
void RowWith(Pixel* d, const Pixel* s, Pixel p, int n, F f) {
    for (int i = 0; i < n; ++i)
        d[i] = f(p, s ? s[i] : 0, d[i]);
}

#define TESSARY_ROP(name, expr)                                 \
    void name(Pixel* d, const Pixel* s, Pixel p, int n, BYTE) { \
        RowWith(d, s, p, n, [](Pixel P, Pixel S, Pixel D) {     \
            (void)P;                                            \
            (void)S;                                            \
            (void)D;                                            \
            return Pixel(expr);                                 \
        });                                                     \
    }
TESSARY_ROP(RowSrcCopy, S)
TESSARY_ROP(RowSrcPaint, S | D)
TESSARY_ROP(RowSrcAnd, S& D)
TESSARY_ROP(RowSrcInvert, S ^ D)
TESSARY_ROP(RowSrcErase, S & ~D)
TESSARY_ROP(RowNotSrcCopy, ~S)
TESSARY_ROP(RowNotSrcErase, ~(S | D))
TESSARY_ROP(RowMergeCopy, P& S)
TESSARY_ROP(RowMergePaint, ~S | D)
TESSARY_ROP(RowPatCopy, P)
TESSARY_ROP(RowPatPaint, P | ~S | D)
TESSARY_ROP(RowPatInvert, P ^ D)
TESSARY_ROP(RowDstInvert, ~D)
TESSARY_ROP(RowBlackness, 0)
TESSARY_ROP(RowWhiteness, 0xFFFFFFFFu)
TESSARY_ROP(RowNop, D)
#undef TESSARY_ROP

}  // namespace

RopRow RopFor(BYTE code) {
    switch (code) {
        case 0xCC:
            return RowSrcCopy;
        case 0xEE:
            return RowSrcPaint;
        case 0x88:
            return RowSrcAnd;
        case 0x66:
            return RowSrcInvert;
        case 0x44:
            return RowSrcErase;
        case 0x33:
            return RowNotSrcCopy;
        case 0x11:
            return RowNotSrcErase;
        case 0xC0:
            return RowMergeCopy;
        case 0xBB:
            return RowMergePaint;
        case 0xF0:
            return RowPatCopy;
        case 0xFB:
            return RowPatPaint;
        case 0x5A:
            return RowPatInvert;
        case 0x55:
            return RowDstInvert;
        case 0x00:
            return RowBlackness;
        case 0xFF:
            return RowWhiteness;
        case 0xAA:
            return RowNop;
        default:
            return RowGeneric;
    }
}

BYTE Rop2ToRop3(int rop2) {
    // ROP2 bit j is the result for pen = bit 1 of j, destination = bit 0; spread it over the
    // source bit, which a ROP2 does not read.
    const int t = (rop2 - 1) & 0xF;
    BYTE code = 0;
    for (int i = 0; i < 8; ++i) {
        const int j = (((i >> 2) & 1) << 1) | (i & 1);
        if ((t >> j) & 1) code |= BYTE(1 << i);
    }
    return code;
}

}  // namespace win::detail
