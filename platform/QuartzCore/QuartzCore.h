#pragma once

// Everything of the framework, as the platform's umbrella header gives it.
#include "QuartzCore/CAAnimation.h"
#include "QuartzCore/CAAnimationClock.h"
#include "QuartzCore/CABasicAnimation.h"
#include "QuartzCore/CAGradientLayer.h"
#include "QuartzCore/CALayer.h"
#include "QuartzCore/CAMediaTimingFunction.h"
#include "QuartzCore/CAPropertyAnimation.h"
#include "QuartzCore/CARenderer.h"
#include "QuartzCore/CAShapeLayer.h"
#include "QuartzCore/CATransaction.h"
#include "QuartzCore/CATransform3D.h"
