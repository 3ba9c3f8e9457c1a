#include "json/support_script.h"

namespace hc {
namespace {

constexpr std::string_view script =
    // get__count: the length of any value whose typeof is "object" (undefined for a plain
    // object), else 0.
    "function get__count(c){var t=typeof c;if(t=='object'){return c.length}return 0}"
    "\r\n"
    // The JSON pieces: one line, split here only for reading.
    R"(if(typeof JSON!=='object'||JSON===null){JSON={};})"
    R"((function(){)"
    R"(function two(n){return n<10?'0'+n:String(n);})"
    R"(if(typeof Date.prototype.toJSON!=='function'){)"
    R"(Date.prototype.toJSON=function(){)"
    R"(return isFinite(this.valueOf())?this.getUTCFullYear()+'-'+two(this.getUTCMonth()+1)+'-')"
    R"(+two(this.getUTCDate())+'T'+two(this.getUTCHours())+':'+two(this.getUTCMinutes())+':')"
    R"(+two(this.getUTCSeconds())+'Z':null;};)"
    R"(String.prototype.toJSON=Number.prototype.toJSON=Boolean.prototype.toJSON=)"
    R"(function(){return this.valueOf();};})"
    // Characters written as \uXXXX by stringify, and made safe for eval by parse.
    R"(var escapable=/[\\"\x00-\x1f\x7f-\x9f\u00ad\u0600-\u0604\u070f\u17b4\u17b5\u200c-\u200f)"
    R"(\u2028-\u202f\u2060-\u206f\ufeff\ufff0-\uffff]/g;)"
    R"(var unsafe=/[\u0000\u00ad\u0600-\u0604\u070f\u17b4\u17b5\u200c-\u200f\u2028-\u202f)"
    R"(\u2060-\u206f\ufeff\ufff0-\uffff]/g;)"
    R"(var meta={'\b':'\\b','\t':'\\t','\n':'\\n','\f':'\\f','\r':'\\r','"':'\\"','\\':'\\\\'};)"
    R"(function hex4(c){return '\\u'+('0000'+c.charCodeAt(0).toString(16)).slice(-4);})"
    R"(function quote(s){escapable.lastIndex=0;)"
    R"(return '"'+(escapable.test(s)?s.replace(escapable,function(c){)"
    R"(var m=meta[c];return typeof m==='string'?m:hex4(c);}):s)+'"';})"
    R"(var gap,indent,rep;)"
    R"(function wrap(parts,open,close,outer){)"
    R"(if(parts.length===0){return open+close;})"
    R"(if(gap){return open+'\n'+gap+parts.join(',\n'+gap)+'\n'+outer+close;})"
    R"(return open+parts.join(',')+close;})"
    R"(function member(key,holder,parts){var v=str(key,holder);)"
    R"(if(v!==undefined){parts.push(quote(key)+(gap?': ':':')+v);}})"
    R"(function str(key,holder){var i,k,n,v,outer=gap,parts=[],value=holder[key];)"
    R"(if(value&&typeof value==='object'&&typeof value.toJSON==='function'){)"
    R"(value=value.toJSON(key);})"
    R"(if(typeof rep==='function'){value=rep.call(holder,key,value);})"
    R"(switch(typeof value){)"
    R"(case 'string':return quote(value);)"
    R"(case 'number':return isFinite(value)?String(value):'null';)"
    R"(case 'boolean':return String(value);)"
    R"(case 'object':if(value===null){return 'null';})"
    R"(gap+=indent;)"
    R"(if(Object.prototype.toString.call(value)==='[object Array]'){)"
    R"(n=value.length;for(i=0;i<n;i+=1){v=str(String(i),value);)"
    R"(parts.push(v===undefined?'null':v);})"
    R"(v=wrap(parts,'[',']',outer);gap=outer;return v;})"
    R"(if(rep&&typeof rep==='object'){n=rep.length;for(i=0;i<n;i+=1){)"
    R"(if(typeof rep[i]==='string'||typeof rep[i]==='number'){member(String(rep[i]),value,parts);}}})"
    R"(else{for(k in value){)"
    R"(if(Object.prototype.hasOwnProperty.call(value,k)){member(k,value,parts);}}})"
    R"(v=wrap(parts,'{','}',outer);gap=outer;return v;}})"
    R"(if(typeof JSON.stringify!=='function'){)"
    R"(JSON.stringify=function(value,replacer,space){var i;gap='';indent='';)"
    R"(if(typeof space==='number'){for(i=0;i<space&&i<10;i+=1){indent+=' ';}})"
    R"(else if(typeof space==='string'){indent=space.slice(0,10);})"
    R"(rep=typeof replacer==='function'||(replacer&&typeof replacer==='object')"
    R"(&&typeof replacer.length==='number')?replacer:undefined;)"
    R"(return str('',{'':value});};})"
    R"(if(typeof JSON.parse!=='function'){)"
    R"(JSON.parse=function(text,reviver){var j;)"
    R"(function walk(holder,key){var k,v,value=holder[key];)"
    R"(if(value&&typeof value==='object'){for(k in value){)"
    R"(if(Object.prototype.hasOwnProperty.call(value,k)){v=walk(value,k);)"
    R"(if(v!==undefined){value[k]=v;}else{delete value[k];}}}})"
    R"(return reviver.call(holder,key,value);})"
    R"(text=String(text);unsafe.lastIndex=0;)"
    R"(if(unsafe.test(text)){text=text.replace(unsafe,hex4);})"
    // The shape check: with escapes, then strings, numbers and words, then opening brackets
    // taken out, only structural characters and blanks may be left.
    R"(if(/^[\],:{}\s]*$/.test(text.replace(/\\(?:["\\\/bfnrt]|u[0-9a-fA-F]{4})/g,'@'))"
    R"(.replace(/"[^"\\\n\r]*"|true|false|null|-?\d+(?:\.\d*)?(?:[eE][+\-]?\d+)?/g,']'))"
    R"(.replace(/(?:^|:|,)(?:\s*\[)+/g,''))){)"
    R"(j=eval('('+text+')');)"
    R"(return typeof reviver==='function'?walk({'':j},''):j;})"
    R"(throw new SyntaxError('JSON.parse');};})"
    R"(if(typeof Object.prototype.toJSONString!=='function'){)"
    R"(Object.prototype.toJSONString=function(filter){return JSON.stringify(this,filter);};)"
    R"(Object.prototype.parseJSON=function(filter){return JSON.parse(this,filter);};})"
    R"(})();)";

}  // namespace

std::string_view support_script() {
  return script;
}

}  // namespace hc
