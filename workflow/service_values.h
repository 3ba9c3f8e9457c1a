#pragma once

#include <string_view>

// The opaque values the two requests carry: the cookie texts and the comment request's form
// fields. They stand in for the service's own values and are sent exactly as written here.
// The ones in this file are made up, deterministic and of the service's shapes:
//   chart_cookie_text    903 printable characters, seven name=value cookies joined by "; "
//   comment_cookie_text  342 characters, four cookies: a session token (206 characters), a
//                        two-digit number, two 32-hex-digit device marks, the second followed
//                        by "," and a 13-digit millisecond stamp
//   comment_params       a 192-character base64 text with "+" and "/" written as %2B and %2F
//   comment_enc_sec_key  256 lowercase hexadecimal digits
// A build may replace this file with its own values; the Content-Length of the comment request
// is computed from the body, so values of other lengths stay in step.

namespace hc::service_values {

inline constexpr std::string_view chart_cookie_text =
    "VISIT-STATE=Cevv8BoHuvxOQMAqZe4FTuVxqicHpNLNHg2bQXlhMaUmE57L%5C9jUo4IiHoVQIzNcXH1gD1cjOw"
    "d6w7VJMQZ6MyJwC%3A1717000000000; _visit_mark_=4ce9da201e0c_1717000001; _track_nnid=0d1a0"
    "dc00f0e71a714a16e81c1aad236,1717000002003; _track_nuid=d31def0b9d2993134b65ab3adf32b1cc;"
    " TRK_NI=eUDM6HwBHo1AYCMr0JchCAsIgpmd5%2FGzZmqyYZ2KaLniDbuWOa6bsglbF6cO6ScmBR85LejfjaZXQE"
    "2x%2FC2hSNTtvSCIul%2B3mTagtHMSxWncdul7Cw8U3BstvU9Z3BIPE88O0Q%2ByYZtI%2BBBwuG2V1rRXoKkaqC"
    "4l; TRK_NIKE=VgronMRqAPRwmGHVCGZVFkSubt3kyrzA946WBpFPzUKb%2FJ4bQ0sSFoeTO%2BCwLvw3msAekck"
    "FsTxyjLua5KhiZB3Ucqk5cADsC1xZkNtqqMlrvBQ04NbgGRltYwfjdaS0%2F0JAGwOfwjxa3WMzEkbPuOG%2F7pB"
    "lsEDmOLVelFpfxBhvMwCYkX0MLx1QrfxmCw98oRVlA%2Fo4; TRK_TID=KTk9sEpVv805iUS0uCYLxJW%2FvJQNZ"
    "8NbJisc2IkNuMLf4TVDTRnDsr5F1R6bP76XXcieYNmeL11G5wmX91QFDCamMnerV9sNXhlmZb%2Fb1ZQgJkB78UM"
    "EGQ23EsoAKcNp7HOgDfsSSmiGaKYSx8JfV3Q2%2BQA3u38mOW9%2B7FI6c7QYPd4biLRi8ie6I1LZx3z6NeqVmnb"
    "zG0jFh5%2B2Jiw%2BCfwXdh";

inline constexpr std::string_view comment_cookie_text =
    "SESSION_TOKEN=A84BBA07931DB925306A0799DC6EBD718B8C764D1C0ACB3DEA13519A60A077BBD142880E84"
    "27ABEEC12975FD55911EA2CBD390B656A4D2BAD821DF997D529975DCB6DE0703B4AB7ED013E50181D960E955"
    "8C1530A493AFBB8B64CB580FAC27CD8995EFEBA90320; client_rank=12; device_mark=50d09c5892503e"
    "12b47fa42f93ceaf2f; device_seen=fbf3e0b6e9aba45ee6ebc57f4590641e,1717171717171";

inline constexpr std::string_view comment_params =
    "mq6QpNoKnAumQcQoWRpJBK%2BHg2gR0v1RHcu1Hg%2BbjlNYOeGshpVadMidk00s7mzUGYcCobokDEuOb%2Bd%2B"
    "JWwUi9oMi4KKGX%2Bry7jVGr3zxVv4C2yifKVhyBfcshJIJ4qsVIz5qyyud3Yov%2BVK%2BtROzlDlUpfWXRJ02b"
    "LGMB4l%2BzXBNoxkqi2MF%2BfOZUEUeSLY";

inline constexpr std::string_view comment_enc_sec_key =
    "07b66f4f13bec356cc38fe8f90053a55b21be8dfd9e2274bd9b5753f0470ada5e742d417eedf8a2fb467adde"
    "373549f4d1d113eb36f725be013f08e6586ec473d9cd8972fdc201edb11617177119f7a524086265bb9a71c5"
    "eada06f76255a86032ed7f90a18f8dd36ccb006b790ee332421fe419f6f848893cdfe41aab6d5b81";

}  // namespace hc::service_values
