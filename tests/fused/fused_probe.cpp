// Built with -ffp-contract=fast for x86-64-v3: a multiply and an add that the
// compiler fuses into one instruction, to show that the check can see one.
double FusedProbe(double a, double b, double c) { return a * b + c; }
