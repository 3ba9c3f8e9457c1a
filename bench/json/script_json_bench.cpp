#include <benchmark/benchmark.h>

#include <string>

#include "json/script_json.h"
#include "text/rules.h"

namespace hc {
namespace {

std::string number(std::int64_t n) {
  return number_to_text(n);
}

// GBK byte constants: 歌曲 (song), 别名 (alias), 歌手 (singer), 用户 (user), and 这首歌真好听
// (what a good song).
const std::string song_word = "\xB8\xE8\xC7\xFA";
const std::string alias_word = "\xB1\xF0\xC3\xFB";
const std::string singer_word = "\xB8\xE8\xCA\xD6";
const std::string user_word = "\xD3\xC3\xBB\xA7";
const std::string praise = "\xD5\xE2\xCA\xD7\xB8\xE8\xD5\xE6\xBA\xC3\xCC\xFD";

// A chart array as the chart page carries it: 200 songs with the four fields the loader reads
// and the sort of extra fields the page has besides.
std::string song(int k) {
  const std::string id = number(1400000000 + k * 7919);
  return R"j({"name":")j" + song_word + number(k) + R"j( (Live)","id":)j" + id +
         R"j(,"position":)j" + number(k + 1) + R"j(,"alias":[")j" + alias_word +
         R"j("],"status":0,"fee":8,"copyrightId":7003,"disc":"01","no":)j" + number(k % 12 + 1) +
         R"j(,"artists":[{"name":")j" + singer_word + number(k % 37) + R"j(","id":)j" +
         number(12000 + k % 37) +
         R"j(,"picId":0,"img1v1Id":0,"briefDesc":"","albumSize":0,"alias":[],"trans":""},)j"
         R"j({"name":"Feat )j" +
         number(k % 11) + R"j(","id":)j" + number(30000 + k % 11) +
         R"j(,"alias":[]}],"album":{"name":"Album )j" + number(k % 50) + R"j(","id":)j" +
         number(80000000 + k) + R"j(,"picUrl":"https://p1.example.invalid/abcdefghijklmnop/)j" +
         number(109951165000LL + k) + R"j(.jpg","publishTime":1579795200000},"duration":)j" +
         number(180000 + k * 1000) +
         R"j(,"score":100,"popularity":100.0,"mvid":0,"rtype":0,"rurl":null,"privilege":{"id":)j" +
         id +
         R"j(,"fee":8,"payed":0,"st":0,"pl":128000,"dl":0,"sp":7,"cp":1,"subp":1,"cs":false,)j"
         R"j("maxbr":999000,"fl":128000,"toast":false,"flag":260},"commentThreadId":"R_SO_4_)j" +
         id + R"j("})j";
}

std::string chart_text() {
  std::string text = "[";
  for (int k = 0; k < 200; ++k) {
    text += (k > 0 ? "," : "") + song(k);
  }
  return text + "]";
}

std::string comment(int k, bool hot) {
  const std::string id = number(3000000000LL + k);
  return R"j({"user":{"locationInfo":null,"liveInfo":null,"anonym":0,"userId":)j" + id +
         R"j(,"avatarUrl":"https://p2.example.invalid/SUeqMM8HOIpGIKlq/)j" + id +
         R"j(.jpg","authStatus":0,"nickname":")j" + user_word + number(k) +
         R"j(","vipType":11,"userType":0,"remarkName":null,"expertTags":null},)j"
         R"j("beReplied":[],"pendantData":null,"showFloorComment":null,"status":0,"commentId":)j" +
         number(1000000 + k) + R"j(,"content":")j" + (hot ? praise : std::string("plain")) +
         std::string(60, 'x') + R"j(\n)j" + number(k) + R"j(","time":)j" +
         number(1579839817837LL - k * 36000) + R"j(,"likedCount":)j" + number(hot ? 9000 - k : k) +
         R"j(,"expressionUrl":null,"commentLocationType":0,"parentCommentId":0,)j"
         R"j("decoration":{},"repliedMark":null,"liked":false})j";
}

std::string comments_text() {
  std::string text =
      R"j({"isMusician":false,"userId":-1,"topComments":[],"moreHot":true,"hotComments":[)j";
  for (int k = 0; k < 15; ++k) {
    text += (k > 0 ? "," : "") + comment(k, true);
  }
  text += R"j(],"code":200,"comments":[)j";
  for (int k = 0; k < 20; ++k) {
    text += (k > 0 ? "," : "") + comment(100 + k, false);
  }
  return text + R"j(],"total":123456,"more":true})j";
}

// Parse, count and the four reads per song, as the chart loader does them.
void BM_ChartRead(benchmark::State& state) {
  const std::string text = chart_text();
  for (auto _ : state) {
    ScriptJson json;
    if (!json.parse(text)) {
      state.SkipWithError("chart did not parse");
      return;
    }
    const std::int32_t songs = json.count();
    std::size_t bytes = 0;
    for (std::int32_t k = 0; k < songs; ++k) {
      const std::string at = "[" + number(k) + "]";
      bytes += json.get_text(at + ".artists[0].name").size();
      bytes += json.get_text(at + ".name").size();
      bytes += json.get_text(at + ".id").size();
      bytes += json.get_text(at + ".commentThreadId").size();
    }
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_ChartRead)->Unit(benchmark::kMillisecond);

// Parse, the two counts and the five reads per comment, as the comment loader does them.
void BM_CommentRead(benchmark::State& state) {
  const std::string text = comments_text();
  for (auto _ : state) {
    ScriptJson json;
    if (!json.parse(text)) {
      state.SkipWithError("comments did not parse");
      return;
    }
    std::size_t bytes = 0;
    for (const std::string array : {"hotComments", "comments"}) {
      const std::int32_t comments = json.count(array);
      for (std::int32_t k = 0; k < comments; ++k) {
        const std::string at = array + "[" + number(k) + "]";
        bytes += json.get_text(at + ".user.nickname").size();
        bytes += json.get_text(at + ".content").size();
        bytes += json.get_text(at + ".time").size();
        bytes += json.get_text(at + ".user.avatarUrl").size();
        bytes += json.get_text(at + ".likedCount").size();
      }
    }
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_CommentRead)->Unit(benchmark::kMillisecond);

// The parse alone, to tell it from the reads.
void BM_ChartParse(benchmark::State& state) {
  const std::string text = chart_text();
  for (auto _ : state) {
    ScriptJson json;
    benchmark::DoNotOptimize(json.parse(text));
  }
}
BENCHMARK(BM_ChartParse)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace hc
