// Fast scanning of plain text: the length of a stretch of printable 7-bit
// characters, sixteen bytes at a time where the processor allows. Both the
// interpreter and the store's conversion pass such stretches on unchanged.
#pragma once
#include <cstddef>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// Number of leading bytes of p[0, n) that lie in 32 to 126.
inline size_t trel_printable_prefix(const unsigned char *p, size_t n) {
#ifdef __SSE2__
  if (n >= 16) {
    // Signed comparison: bytes from 128 up are negative, so "below 32"
    // catches them together with the control characters.
    const __m128i space = _mm_set1_epi8(32);
    const __m128i del = _mm_set1_epi8(127);
    size_t i = 0;
    for (;;) {
      // The last block overlaps bytes already found printable, so the first
      // flagged byte is still the first non-printable one.
      if (i + 16 > n)
        i = n - 16;
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
      __m128i odd = _mm_or_si128(_mm_cmplt_epi8(v, space), _mm_cmpeq_epi8(v, del));
      int mask = _mm_movemask_epi8(odd);
      if (mask)
        return i + size_t(__builtin_ctz(unsigned(mask)));
      if (i + 16 >= n)
        return n;
      i += 16;
    }
  }
#endif
  size_t i = 0;
  while (i < n && p[i] >= 32 && p[i] <= 126)
    i++;
  return i;
}

// Number of bytes equal to byte in p[0, n).
inline size_t trel_count_byte(const unsigned char *p, size_t n, unsigned char byte) {
  size_t count = 0;
  size_t i = 0;
#ifdef __SSE2__
  if (n >= 16) {
    const __m128i wanted = _mm_set1_epi8(char(byte));
    for (; i + 16 <= n; i += 16) {
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
      unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, wanted)));
      for (; mask; mask &= mask - 1)
        count++;
    }
    if (i < n) {
      // The rest, as the tail of one last block ending at n.
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + n - 16));
      unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, wanted)));
      mask >>= 16 - (n - i);
      for (; mask; mask &= mask - 1)
        count++;
    }
    return count;
  }
#endif
  for (; i < n; i++)
    count += p[i] == byte;
  return count;
}
