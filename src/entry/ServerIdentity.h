#pragma once
// The identities the module reports: its own application server and the suite's second one.
// Constant data: the W identity calls hand out pointers to these texts.

inline constexpr char16_t kServerGUID[] = u"{A871449E-8D08-481A-B0FC-00C38CA7F310}";
inline constexpr char16_t kServerName[] = u"QAcSemaf.QAcSemafDmr";
inline constexpr char16_t kServerGUIDNet[] = u"{7EA2E7BB-0ABF-4314-B7B5-3AD8F0654EA1}";
inline constexpr char16_t kServerNameNet[] = u"QAcSemafBD.QAcSemaf";
inline constexpr char16_t kPublicKeyToken[] = u"3f5a7c21b0e4d896";
