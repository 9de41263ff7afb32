#!/usr/bin/env python3
"""The mutant rules on small pieces of code: what each makes, and what it must leave alone."""
import os
import sys
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import mutate  # noqa: E402


def made(code, product=None):
    """Each mutant as the line it makes: "kind: mutated code"."""
    out = []
    for m in mutate.mutants("x.cpp", code, product):
        out.append(f"{m.kind}: {code[:m.start] + m.new + code[m.end:]}")
    return out


class MutantRules(unittest.TestCase):
    def test_each_kind(self):
        cases = [
            ("int f(int a) { return a < 3; }",
             ["relational: int f(int a) { return a <= 3; }", "literal: int f(int a) { return a < 4; }"]),
            ("int f(int a) { return a == 1; }",
             ["equality: int f(int a) { return a != 1; }", "literal: int f(int a) { return a == 0; }"]),
            ("float f(float a) { return a * 0.8f; }",
             ["arithmetic: float f(float a) { return a / 0.8f; }", "literal: float f(float a) { return a * 0.7f; }"]),
            ("void f() { if (ok) go(); }",
             ["condition: void f() { if (!(ok)) go(); }", "call: void f() { if (ok) {} }"]),
            ("void f() { SetDrawColor(10, 20, 250); }",
             ["call: void f() { {} }", "colour: void f() { SetDrawColor(138, 20, 250); }",
              "colour: void f() { SetDrawColor(10, 148, 250); }", "colour: void f() { SetDrawColor(10, 20, 122); }"]),
            ("void f() { t.sip(3, a, 0, 1.0f, 1.0f); }",
             ["call: void f() { {} }", "blend: void f() { t.sip(4, a, 0, 1.0f, 1.0f); }",
              "alpha: void f() { t.sip(3, (a) * 0.5f, 0, 1.0f, 1.0f); }",
              "literal: void f() { t.sip(3, a, 1, 1.0f, 1.0f); }", "literal: void f() { t.sip(3, a, 0, 0.9f, 1.0f); }",
              "literal: void f() { t.sip(3, a, 0, 1.0f, 0.9f); }"]),
            ("void f() { SetBlendMode(BLEND_MULTIPLY); t.sip(BLEND_ADDITIVE, a, 0, s, s); }",
             ["call: void f() { {} t.sip(BLEND_ADDITIVE, a, 0, s, s); }",
              "call: void f() { SetBlendMode(BLEND_MULTIPLY); {} }",
              "blend: void f() { SetBlendMode(BLEND_ALPHA); t.sip(BLEND_ADDITIVE, a, 0, s, s); }",
              "blend: void f() { SetBlendMode(BLEND_MULTIPLY); t.sip(BLEND_ALPHA, a, 0, s, s); }",
              "alpha: void f() { SetBlendMode(BLEND_MULTIPLY); t.sip(BLEND_ADDITIVE, (a) * 0.5f, 0, s, s); }",
              "literal: void f() { SetBlendMode(BLEND_MULTIPLY); t.sip(BLEND_ADDITIVE, a, 1, s, s); }"]),
        ]
        for code, want in cases:
            with self.subTest(code=code):
                self.assertEqual(sorted(made(code)), sorted(want))

    def test_leaves_alone(self):
        cases = [
            "std::vector<std::shared_ptr<T>> v;",     # template brackets
            "// a < b + 1",                            # comments
            "const char* s = \"a < b + 1\";",          # strings (the size of nothing is stepped)
            "#define N 3\n",                           # preprocessor lines
            "void f() { int x = -y; }",               # unary minus
            "void f(T* p, int* q);",                  # pointer declarations
        ]
        for code in cases:
            with self.subTest(code=code):
                self.assertEqual(made(code), [])

    def test_unread_results_are_not_mutated(self):
        code = "int g() { return 0; }\nint h() { return 0; }\nvoid f() { g(); int k = h(); }\n"
        product = [mutate.tokenize(code)]
        literals = [m for m in made(code, product) if m.startswith("literal")]
        self.assertEqual(literals, ["literal: " + code.replace("int h() { return 0; }", "int h() { return 1; }")])

    def test_twin_mutations_are_numbered(self):
        descs = [m.desc for m in mutate.mutants("x.cpp", "int a = 0, b = 0;\n")]
        self.assertEqual(descs, ["literal 0 -> 1 #1", "literal 0 -> 1 #2"])


if __name__ == "__main__":
    unittest.main()
