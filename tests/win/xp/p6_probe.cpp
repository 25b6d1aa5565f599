// A program with instructions that a Pentium Pro lacks (MMX, SSE, SSE2,
// SSE4.2's popcnt) beside ones it has (cmov, and bsf with a rep prefix, which
// objdump names tzcnt): the post-link check must name each of the first and
// none of the second. Never run; only its code matters.
int main(int argc, char**) {
  int value = argc;
  asm volatile(
      "cmovl %0, %0\n\t"
      "rep bsf %0, %0\n\t"
      "movd %0, %%mm0\n\t"
      "emms\n\t"
      "movaps %%xmm0, %%xmm1\n\t"
      "sfence\n\t"
      "popcnt %0, %0"
      : "+r"(value));
  return value;
}
