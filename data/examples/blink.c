/* LED blinker for an AT89S52 with a 12 MHz crystal: the LED on P1.0
 * (active low, to Vcc through a resistor) changes state every 500 ms.
 * The delay counts overflows of timer 0 in mode 1; every overflow is
 * 50 000 machine cycles of 1 us. */
#include <8052.h>

#define TICKS_PER_HALF_SECOND 10
#define RELOAD (65536u - 50000u)

static void wait_ticks(unsigned char ticks)
{
    while (ticks--) {
        TH0 = RELOAD >> 8;
        TL0 = RELOAD & 0xFF;
        TF0 = 0;
        TR0 = 1;
        while (!TF0)
            ;
        TR0 = 0;
    }
}

void main(void)
{
    TMOD = (TMOD & 0xF0) | 0x01; /* timer 0: 16-bit timer, gated by TR0 only */
    P1 = 0xFF;                   /* every LED off */
    for (;;) {
        P1_0 = !P1_0;
        wait_ticks(TICKS_PER_HALF_SECOND);
    }
}
