#pragma once

class CCliInvocation;

// kantel-cli diff: what differs between two banks, one difference a line or
// as JSON.
class CCliDiffCommand {
public:
    // Exit status 0 when the banks are equal, 1 when they differ and 2 when
    // one cannot be read.
    static int Run(const CCliInvocation& run);
};
