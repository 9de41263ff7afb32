"""mutate: the single-point mutants of one C++ source file.

A light tokenizer (comments, strings and preprocessor lines skipped) and a few rules over
its tokens; no parser. A mutant the rules get wrong fails to build and is reported as
stillborn, never counted in a score.
"""
import decimal
import re
from collections import namedtuple

Token = namedtuple("Token", "kind text start end line")
Mutant = namedtuple("Mutant", "path line start end new kind desc")

_TOKEN = re.compile(r"""
 (?P<ws>[ \t\r\f\v]+|\n)
|(?P<comment>//[^\n]*|/\*.*?\*/)
|(?P<string>(?:u8|u|U|L)?R"(?P<delim>[^(\s]*)\(.*?\)(?P=delim)"|(?:u8|u|U|L)?"(?:\\.|[^"\\\n])*")
|(?P<char>'(?:\\.|[^'\\\n])+')
|(?P<number>(?:0[xX][0-9a-fA-F']+|\d[\d']*(?:\.\d*)?(?:[eE][+-]?\d+)?|\.\d+(?:[eE][+-]?\d+)?)[uUlLfF]*)
|(?P<ident>[A-Za-z_]\w*)
|(?P<punct>>>=|<<=|->\*|\.\.\.|::|->|\+\+|--|<<|>>|<=|>=|==|!=|&&|\|\||\+=|-=|\*=|/=|%=|&=|\|=|\^=|[{}()\[\];:,.?~!%^&*+\-/<>=|\#])
""", re.S | re.X)

KEYWORDS = {
    "return", "case", "throw", "else", "do", "new", "delete", "sizeof", "if", "for", "while",
    "switch", "catch", "break", "continue", "goto", "default", "co_return", "static_assert",
    "using", "typedef", "namespace", "template", "typename", "operator", "try", "public",
    "private", "protected", "decltype", "alignof", "noexcept",
}
TYPE_WORDS = {
    "int", "float", "double", "char", "void", "bool", "auto", "const", "unsigned", "signed",
    "long", "short", "size_t", "uint8_t", "uint16_t", "uint32_t", "int16_t", "int32_t",
    "int64_t", "uint64_t", "string", "T", "F", "link", "static", "constexpr", "inline", "struct",
    "class", "enum", "extern", "virtual", "mutable", "volatile",
}
CONTROL = {"if", "for", "while", "switch", "catch"}
# Draw calls whose colour, blend or alpha arguments get their own mutants: name -> arg indexes.
COLOUR_ARGS = {"SetDrawColor": (0, 1, 2), "SetClearColor": (0, 1, 2), "slc": (0, 1, 2, 3, 4, 5)}
BLEND_ARGS = {"SetBlendMode": (0,), "sip": (0,)}
ALPHA_ARGS = {"SetDrawAlpha": (0,), "sip": (1,)}
BLEND_SWAP = {1: 4, 2: 4, 3: 4, 4: 3, 5: 3}
BLEND_NAMES = {"BLEND_MASK": 1, "BLEND_SOLID": 2, "BLEND_ALPHA": 3, "BLEND_ADDITIVE": 4, "BLEND_MULTIPLY": 5}


def tokenize(text):
    """Tokens of the code, without whitespace, comments and preprocessor lines."""
    toks, pos, line, at_line_start = [], 0, 1, True
    while pos < len(text):
        m = _TOKEN.match(text, pos)
        if not m:  # a stray character: step over it
            pos += 1
            continue
        kind, s = m.lastgroup, m.group(0)
        if kind == "delim":
            kind = "string"
        if kind == "punct" and s == "#" and at_line_start:
            end = pos
            while True:  # the directive runs to a line end not escaped by a backslash
                nl = text.find("\n", end)
                if nl < 0:
                    end = len(text)
                    break
                if text[nl - 1] == "\\":
                    end = nl + 1
                    continue
                end = nl
                break
            line += text.count("\n", pos, end)
            pos = end
            continue
        if kind not in ("ws", "comment"):
            toks.append(Token(kind, s, pos, m.end(), line))
            at_line_start = False
        if s == "\n":
            at_line_start = True
        line += s.count("\n")
        pos = m.end()
    return toks


def matching(toks, i):
    """Index of the bracket closing the one at i."""
    pair = {"(": ")", "[": "]", "{": "}"}[toks[i].text]
    opener, depth = toks[i].text, 0
    for j in range(i, len(toks)):
        if toks[j].text == opener:
            depth += 1
        elif toks[j].text == pair:
            depth -= 1
            if depth == 0:
                return j
    return len(toks) - 1


def opening(toks, j):
    """Index of the bracket opening the one closing at j."""
    pair = {")": "(", "]": "[", "}": "{"}[toks[j].text]
    closer, depth = toks[j].text, 0
    for i in range(j, -1, -1):
        if toks[i].text == closer:
            depth += 1
        elif toks[i].text == pair:
            depth -= 1
            if depth == 0:
                return i
    return 0


def template_closers(toks):
    """Indexes of '<' and '>' tokens that are template brackets, not comparisons."""
    marked = set()
    allowed = {"::", ",", "*", "&", "const", "<", ">", ">>"}
    for i, t in enumerate(toks):
        if t.text != "<" or i == 0 or toks[i - 1].kind != "ident":
            continue
        depth, inner = 1, [i]
        for j in range(i + 1, min(len(toks), i + 40)):
            u = toks[j]
            if u.kind not in ("ident", "number") and u.text not in allowed:
                break
            if u.text == "<":
                depth += 1
            elif u.text == ">":
                depth -= 1
            elif u.text == ">>":
                depth -= 2
            if u.text in ("<", ">", ">>"):
                inner.append(j)
            if depth <= 0:
                marked.update(inner)
                break
    return marked


def is_type_like(tok):
    if tok.kind != "ident":
        return tok.text in ("*", "&", ">")
    w = tok.text
    return (w in TYPE_WORDS or w.endswith("_tag") or w.endswith("_t") or w.endswith("_state")
            or re.match(r"^T[A-Z]", w) is not None or w.startswith("SDL_"))


def operand_start(toks, i):
    """Whether the token before i ends an operand, so the operator at i is binary."""
    if i == 0:
        return False
    p = toks[i - 1]
    if p.kind in ("number", "string", "char"):
        return True
    if p.kind == "ident":
        return p.text not in KEYWORDS
    return p.text in (")", "]")


def stringy(toks, i):
    """A '+' or '+=' joining texts rather than numbers."""
    n = toks[i + 1] if i + 1 < len(toks) else None
    p = toks[i - 1]
    if p.kind == "string" or (n is not None and n.kind == "string"):
        return True
    if n is not None and n.text == "std" and i + 3 < len(toks) and toks[i + 3].text in ("to_string", "string"):
        return True
    if p.text == ")":
        o = opening(toks, i - 1)
        return o > 0 and toks[o - 1].text in ("to_string", "string")
    return False


def pointer_declaration(toks, i):
    """'T* name' or 'T *name' rather than a product."""
    p, n = toks[i - 1], toks[i + 1] if i + 1 < len(toks) else None
    if n is None or n.text in (")", ",", ">", "&", "*"):
        return True
    if i >= 2 and toks[i - 2].text == "::":
        return True
    return is_type_like(p)


def step_literal(text):
    """The literal one step away: integers up by one (1 down to 0), reals down by their last
    written place (0 up)."""
    m = re.match(r"^([0-9.xXa-fA-F']+?)([uUlLfF]*)$", text)
    if not m:
        return None
    body, suffix = m.group(1), m.group(2)
    if body.lower().startswith("0x"):
        return hex(int(body.replace("'", ""), 16) + 1) + suffix
    if "." in body and not body.lower().startswith("0x"):
        places = len(body.split(".")[1])
        step = decimal.Decimal(1).scaleb(-places) if places else decimal.Decimal(1)
        v = decimal.Decimal(body if not body.endswith(".") else body + "0")
        nv = v - step if v - step >= 0 else v + step
        s = f"{nv:.{places}f}" if places else f"{nv:.0f}."
        return s + suffix
    if "e" in body.lower():
        return None
    n = int(body.replace("'", ""))
    return str({0: 1, 1: 0}.get(n, n + 1)) + suffix  # a flag's 1 goes to 0, not to 2, which reads the same


def call_args(toks, i):
    """For a call whose '(' is at i: the (first, last) token indexes of each argument."""
    close = matching(toks, i)
    args, start, depth = [], i + 1, 0
    for j in range(i + 1, close):
        t = toks[j].text
        if t in "([{":
            depth += 1
        elif t in ")]}":
            depth -= 1
        elif t == "," and depth == 0:
            args.append((start, j - 1))
            start = j + 1
    if start <= close - 1:
        args.append((start, close - 1))
    return args, close


def is_call(toks, i):
    """ident at i followed by '(' is a call, not a definition or declaration."""
    if i + 1 >= len(toks) or toks[i + 1].text != "(":
        return False
    if toks[i].text in KEYWORDS:
        return False
    if i > 0 and toks[i - 1].kind == "ident" and toks[i - 1].text not in ("return", "else", "case"):
        return False
    if i > 0 and toks[i - 1].text in ("*", "&") and i > 1 and is_type_like(toks[i - 2]):
        return False
    close = matching(toks, i + 1)
    n = toks[close + 1].text if close + 1 < len(toks) else ""
    return n not in ("{", "const", "override", "noexcept", ":")


def statement_start(toks, i):
    """Whether a statement may begin at token i."""
    if i == 0:
        return True
    p = toks[i - 1]
    if p.text in (";", "{", "}", "else", "do"):
        return True
    if p.text == ":":
        return i >= 2 and (toks[i - 2].text == "default" or _after_case(toks, i - 1))
    if p.text == ")":
        o = opening(toks, i - 1)
        return o > 0 and toks[o - 1].text in ("if", "for", "while", "switch")
    return False


def _after_case(toks, colon):
    for j in range(colon - 1, max(-1, colon - 12), -1):
        if toks[j].text == "case":
            return True
        if toks[j].text in (";", "{", "}"):
            return False
    return False


def scopes(toks):
    """For each token, the innermost function ('name') or lambda ('[]') holding it, or None."""
    owner, stack = [None] * len(toks), []
    for i, t in enumerate(toks):
        if t.text == "{":
            stack.append(_brace_owner(toks, i, stack))
        owner[i] = next((s for s in reversed(stack) if s is not None and s != "."), None)
        if t.text == "}" and stack:
            stack.pop()
    return owner


def _brace_owner(toks, i, stack):
    j = i - 1
    while j >= 0 and toks[j].text in ("const", "override", "noexcept", "mutable", "final"):
        j -= 1
    if j < 0 or toks[j].text != ")":
        return "."  # a plain block: the enclosing function owns it
    o = opening(toks, j)
    if o == 0:
        return "."
    before = toks[o - 1]
    if before.text == "]":
        return "[]"
    if before.kind == "ident" and before.text not in CONTROL:
        return before.text
    return "."


def results_read(all_toks, name, _seen=None):
    """Whether any call of `name` in the product uses its result. A call that is all of a
    `return` statement passes the result on: read when the returning function's is."""
    seen = _seen if _seen is not None else set()
    if name in seen:
        return False
    seen.add(name)
    for toks in all_toks:
        owners = None
        for i, t in enumerate(toks):
            if t.text != name or t.kind != "ident":
                continue
            if i + 1 >= len(toks) or toks[i + 1].text != "(":
                # handed on as a pointer to the function: assume its result is read
                arg = i > 1 and (toks[i - 1].text == "," or toks[i - 1].text == "(" and toks[i - 2].kind == "ident"
                                 and toks[i - 2].text not in KEYWORDS)
                if arg and i + 1 < len(toks) and toks[i + 1].text in (")", ","):
                    return True
                continue
            if not is_call(toks, i):
                continue
            s = i
            while s >= 2 and toks[s - 1].text in (".", "->", "::") and toks[s - 2].kind == "ident":
                s -= 2
            close = matching(toks, i + 1)
            ends = close + 1 < len(toks) and toks[close + 1].text == ";"
            if ends and statement_start(toks, s):
                continue
            if ends and s > 0 and toks[s - 1].text == "return" and statement_start(toks, s - 1):
                owners = owners or scopes(toks)
                caller = owners[s]
                if caller not in (None, "[]") and not results_read(all_toks, caller, seen):
                    continue
            return True
    return False


def mutants(path, text, product_tokens=None):
    """Every mutant of the file, in source order. product_tokens: token lists of all product
    files, to tell a function whose result nobody reads (its 'return 0;' is not mutated)."""
    toks = tokenize(text)
    out, seen = [], set()

    def add(a, b, new, kind, desc):
        start, end = toks[a].start, toks[b].end
        key = (start, end, new)
        if key in seen or text[start:end] == new:
            return
        seen.add(key)
        out.append(Mutant(path, toks[a].line, start, end, new, kind, desc))

    templ = template_closers(toks)
    owner = scopes(toks)
    draw_arg_tokens = set()
    _draw_mutants(toks, text, add, draw_arg_tokens)
    _operator_mutants(toks, templ, add)
    _literal_mutants(toks, text, owner, draw_arg_tokens, product_tokens, add)
    _statement_mutants(toks, text, add)
    out.sort(key=lambda m: (m.start, m.end, m.kind))
    return numbered(out, text.split("\n"))


def numbered(ms, lines):
    """The same mutation more than once on lines that read the same (one line, or twin lines)
    is told apart in source order: "literal 0 -> 1 #1", "#2"..."""
    def key(m):
        return lines[m.line - 1].strip(), m.desc
    total, seen, out = {}, {}, []
    for m in ms:
        total[key(m)] = total.get(key(m), 0) + 1
    for m in ms:
        if total[key(m)] > 1:
            seen[key(m)] = seen.get(key(m), 0) + 1
            m = m._replace(desc=f"{m.desc} #{seen[key(m)]}")
        out.append(m)
    return out


def _draw_mutants(toks, text, add, draw_arg_tokens):
    for i, t in enumerate(toks):
        if t.kind != "ident" or not is_call(toks, i):
            continue
        if t.text not in COLOUR_ARGS and t.text not in BLEND_ARGS and t.text not in ALPHA_ARGS:
            continue
        args, _ = call_args(toks, i + 1)
        for idx, (a, b) in enumerate(args):
            src = text[toks[a].start:toks[b].end]
            single = a == b and toks[a].kind == "number"
            if idx in COLOUR_ARGS.get(t.text, ()):
                new = str((int(src) + 128) % 256) if single and src.isdigit() else f"(({src}) + 128) % 256"
                add(a, b, new, "colour", f"{t.text} colour {src} -> {new}")
            elif idx in BLEND_ARGS.get(t.text, ()):
                if single and src.isdigit():
                    new = str(BLEND_SWAP.get(int(src), 4))
                elif src in BLEND_NAMES:
                    swapped = BLEND_SWAP[BLEND_NAMES[src]]
                    new = next(name for name, mode in BLEND_NAMES.items() if mode == swapped)
                else:
                    new = f"(({src}) == 4 ? 3 : 4)"
                add(a, b, new, "blend", f"{t.text} blend {src} -> {new}")
            elif idx in ALPHA_ARGS.get(t.text, ()):
                if single and step_literal(src):
                    v = decimal.Decimal(re.sub(r"[fFlL]+$", "", src)) / 2
                    new = f"{v}f"
                else:
                    new = f"({src}) * 0.5f"
                add(a, b, new, "alpha", f"{t.text} alpha {src} -> {new}")
            else:
                continue
            draw_arg_tokens.update(range(a, b + 1))


SWAPS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "==",
         "+": "-", "-": "+", "*": "/", "/": "*", "+=": "-=", "-=": "+=", "*=": "/=", "/=": "*="}


def _operator_mutants(toks, templ, add):
    for i, t in enumerate(toks):
        op = t.text
        if t.kind != "punct" or op not in SWAPS or i == 0 or i + 1 >= len(toks):
            continue
        if toks[i - 1].text == "operator":
            continue
        if op in ("<", ">") and i in templ:
            continue
        if op in ("+", "-", "*", "/") and not operand_start(toks, i):
            continue  # unary
        if op in ("+=", "-=", "*=", "/=", "+", "-", "*", "/") and toks[i + 1].text in (")", ",", ";"):
            continue
        if op in ("+", "+=") and stringy(toks, i):
            continue
        if op == "*" and pointer_declaration(toks, i):
            continue
        kind = "relational" if op in ("<", "<=", ">", ">=") else "equality" if op in ("==", "!=") else "arithmetic"
        add(i, i, SWAPS[op], kind, f"'{op}' -> '{SWAPS[op]}'")


def _declared_size(toks, i):
    """The literal at i is the size in a declaration such as 'T name[6]'."""
    if i < 3 or toks[i - 1].text != "[" or toks[i - 2].kind != "ident":
        return False
    return is_type_like(toks[i - 3])


def _literal_mutants(toks, text, owner, draw_arg_tokens, product_tokens, add):
    read_cache = {}
    for i, t in enumerate(toks):
        if t.kind != "number" or i in draw_arg_tokens or _declared_size(toks, i):
            continue
        new = step_literal(t.text)
        if new is None:
            continue
        if i > 0 and toks[i - 1].text == "return" and i + 1 < len(toks) and toks[i + 1].text == ";":
            fn = owner[i]
            if fn not in (None, "[]") and product_tokens is not None:
                if fn not in read_cache:
                    read_cache[fn] = results_read(product_tokens, fn)
                if not read_cache[fn]:
                    continue  # no caller reads what it returns
        add(i, i, new, "literal", f"literal {t.text} -> {new}")


def _statement_mutants(toks, text, add):
    for i, t in enumerate(toks):
        if t.kind == "ident" and t.text in ("if", "while") and i + 1 < len(toks) and toks[i + 1].text == "(":
            if t.text == "if" and toks[i + 1].text == "constexpr":
                continue
            close = matching(toks, i + 1)
            if close - i < 3:
                continue
            cond = text[toks[i + 2].start:toks[close - 1].end]
            add(i + 2, close - 1, f"!({cond})", "condition", f"{t.text} condition negated")
        if t.kind == "ident" and t.text not in KEYWORDS and t.text not in TYPE_WORDS and statement_start(toks, i):
            j = i
            while j + 2 < len(toks) and toks[j + 1].text in (".", "->", "::") and toks[j + 2].kind == "ident":
                j += 2
            if j + 1 >= len(toks) or toks[j + 1].text != "(":
                continue
            close = matching(toks, j + 1)
            if close + 1 < len(toks) and toks[close + 1].text == ";" and is_call(toks, j):
                name = text[toks[i].start:toks[j].end]
                add(i, close + 1, "{}", "call", f"call removed: {name}(...)")


def has_function_bodies(text):
    toks = tokenize(text)
    return any(o not in (None, "[]") for o in scopes(toks))
